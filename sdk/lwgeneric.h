/*
 * lwgeneric.h -- generic Layout plug-ins: run once from a menu or command,
 * with access to Layout's command interpreter.
 */
#ifndef LWSDK_GENERIC_H
#define LWSDK_GENERIC_H

#include "lwtypes.h"
#include "lwdyna.h"

#define LWLAYOUTGENERIC_CLASS "LayoutGeneric"
#define LWLAYOUTGENERIC_VERSION 2

/* evaluate(data, "Command arg ...") and execute() return 1 on success. */
typedef struct st_LWLayoutGeneric {
    int (*saveScene)(const char* file);
    int (*loadScene)(const char* file, const char* name);
    void* data;
    LWCommandCode (*lookup)(void* data, const char* cmdName);
    int (*execute)(void* data, LWCommandCode cmd, int argc, const DynaValue* argv,
                   DynaValue* result);
    int (*evaluate)(void* data, const char* command);
} LWLayoutGeneric;

#endif
