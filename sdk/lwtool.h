/*
 * lwtool.h -- interactive tool events, shared by Layout tools, and the
 * mesh-editor tool table.
 */
#ifndef LWSDK_TOOL_H
#define LWSDK_TOOL_H

#include "lwtypes.h"
#include "lwxpanel.h"

/* dx, dy: pixel offset from the mouse-down point. portAxis is 0/1/2 in
   orthographic views and -1 in perspective. */
typedef struct st_LWToolEvent {
    LWDVector posRaw;
    LWDVector posSnap;
    LWDVector deltaRaw;
    LWDVector deltaSnap;
    LWDVector axis;
    LWDVector ax;
    LWDVector ay;
    LWDVector az;
    double pxRaw;
    double pxSnap;
    double pyRaw;
    double pySnap;
    int dx;
    int dy;
    int portAxis;
    int flags;
    int viewNumber;
} LWToolEvent;

#define LWTOOLF_CONSTRAIN (1 << 0)
#define LWTOOLF_CONS_X (1 << 1)
#define LWTOOLF_CONS_Y (1 << 2)
#define LWTOOLF_ALT_BUTTON (1 << 3) /* the alternate, normally right, button */
#define LWTOOLF_MULTICLICK (1 << 4)

/* dirty() result. */
#define LWT_DIRTY_WIREFRAME (1 << 0)
#define LWT_DIRTY_HELPTEXT (1 << 1)

/* event() codes. */
#define LWT_EVENT_DROP 0
#define LWT_EVENT_RESET 1
#define LWT_EVENT_ACTIVATE 2
#define LWT_EVENT_EXTERNAL_ACTION 3

/* The mesh editor's wireframe drawing record; Layout tools draw through
   LWCustomObjAccess instead, so it stays opaque here. */
typedef struct st_LWWireDrawAccess LWWireDrawAccess;

typedef struct st_LWToolFuncs {
    void (*done)(LWInstance inst);
    void (*draw)(LWInstance inst, LWWireDrawAccess* access);
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
    int (*undo)(LWInstance inst);
    int (*redo)(LWInstance inst);
} LWToolFuncs;

typedef struct st_LWTool {
    LWInstance instance;
    LWToolFuncs* tool;
} LWTool;

#endif
