/*
 * lwlaytool.h -- Layout tools. The host owns the function table; activation
 * sets instance and fills *tool.
 */
#ifndef LWSDK_LAYTOOL_H
#define LWSDK_LAYTOOL_H

#include "lwtool.h"
#include "lwcustobj.h"

#define LWLAYOUTTOOL_CLASS "LayoutTool"
#define LWLAYOUTTOOL_VERSION 1

typedef struct st_LWLayoutToolFuncs {
    void (*done)(LWInstance inst);
    void (*draw)(LWInstance inst, LWCustomObjAccess* access);
    const char* (*help)(LWInstance inst, LWToolEvent* event);
    int (*dirty)(LWInstance inst);
    int (*count)(LWInstance inst, LWToolEvent* event);
    int (*handle)(LWInstance inst, LWToolEvent* event, int handle, LWDVector pos);
    int (*start)(LWInstance inst, LWToolEvent* event);
    int (*adjust)(LWInstance inst, LWToolEvent* event, int handle);
    int (*down)(LWInstance inst, LWToolEvent* event);
    void (*move)(LWInstance inst, LWToolEvent* event);
    void (*up)(LWInstance inst, LWToolEvent* event);
    void (*event)(LWInstance inst, int code);
    LWXPanelID (*panel)(LWInstance inst);
} LWLayoutToolFuncs;

typedef struct st_LWLayoutTool {
    LWInstance instance;
    LWLayoutToolFuncs* tool;
} LWLayoutTool;

#endif
