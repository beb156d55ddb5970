/*
 * lwcustobj.h -- custom object handlers: draw extra geometry for an item in
 * Layout's viewports.
 */
#ifndef LWSDK_CUSTOBJ_H
#define LWSDK_CUSTOBJ_H

#include "lwrender.h"

#define LWCUSTOMOBJ_HCLASS "CustomObjHandler"
#define LWCUSTOMOBJ_ICLASS "CustomObjInterface"
#define LWCUSTOMOBJ_GCLASS "CustomObjGizmo"
#define LWCUSTOMOBJ_VERSION 5

/* Every drawing call takes dispData first; positions are in the trailing
   csys coordinate system. */
typedef struct st_LWCustomObjAccess {
    int view; /* LWVIEW_*, or the viewport index with LWCOF_VIEWPORT_INDEX */
    int flags;
    void* dispData;
    void (*setColor)(void* dispData, float rgba[4]);
    void (*setPattern)(void* dispData, int lpat);
    void (*setTexture)(void* dispData, int size, unsigned char* image);
    void (*setUVs)(void* dispData, double uv0[2], double uv1[2], double uv2[2], double uv3[2]);
    void (*point)(void* dispData, double p[3], int csys);
    void (*line)(void* dispData, double a[3], double b[3], int csys);
    void (*triangle)(void* dispData, double a[3], double b[3], double c[3], int csys);
    void (*quad)(void* dispData, double a[3], double b[3], double c[3], double d[3], int csys);
    void (*circle)(void* dispData, double center[3], double radius, int csys);
    void (*text)(void* dispData, double p[3], const char* txt, int just, int csys);
    LWDVector viewPos;
    LWDVector viewDir;
    void (*setCSysItem)(void* dispData, LWItemID item);
    void (*polygon)(void* dispData, unsigned int numv, double v[][3], int csys);
    void (*polyIndexed)(void* dispData, unsigned int numv, unsigned int vindex[], double v[][3],
                        int csys);
    void (*setDrawMode)(void* dispData, unsigned int mode);
    void (*disk)(void* dispData, double center[3], double radius, int csys);
    void (*setPart)(void* dispData, unsigned int part); /* 0 = none, 1..32 */
} LWCustomObjAccess;

typedef struct st_LWCustomObjHandler {
    LWInstanceFuncs* inst;
    LWItemFuncs* item;
    LWRenderFuncs* rend;
    void (*evaluate)(LWInstance inst, const LWCustomObjAccess* access);
    unsigned int (*flags)(LWInstance inst);
} LWCustomObjHandler;

/* flags() result. */
#define LWCOF_SCHEMA_OK (1 << 0)
#define LWCOF_VIEWPORT_INDEX (1 << 1)
#define LWCOF_NO_DEPTH_BUFFER (1 << 2)
#define LWCOF_OVERLAY (1 << 3)

/* view, when LWCOF_VIEWPORT_INDEX is not set. */
#define LWVIEW_ZY 0
#define LWVIEW_XZ 1
#define LWVIEW_XY 2
#define LWVIEW_PERSP 3
#define LWVIEW_LIGHT 4
#define LWVIEW_CAMERA 5
#define LWVIEW_SCHEMA 6

/* access->flags */
#define LWCOFL_SELECTED (1 << 0)
#define LWCOFL_PICKING (1 << 1)

#define LWLPAT_SOLID 0
#define LWLPAT_DOT 1
#define LWLPAT_DASH 2
#define LWLPAT_LONGDOT 3

/* ICON is OBJECT scaled by the grid; VIEWPORT is pixels from the top-left
   with z from 0 (near) to 1 (far). */
#define LWCSYS_WORLD 0
#define LWCSYS_OBJECT 1
#define LWCSYS_ICON 2
#define LWCSYS_VIEWPORT 3

#define LWJUST_LEFT 0
#define LWJUST_CENTER 1
#define LWJUST_RIGHT 2

/* The host starts each evaluation with DEPTHTEST | DEPTHWRITE. */
#define LWDRAWMODE_CULLFACE (1 << 0)
#define LWDRAWMODE_OUTLINE (1 << 1)
#define LWDRAWMODE_DEPTHTEST (1 << 2)
#define LWDRAWMODE_DEPTHWRITE (1 << 3)

#endif
