/*
 * lwdisplce.h -- displacement handlers: move an object's points, one point
 * per evaluate() call.
 */
#ifndef LWSDK_DISPLCE_H
#define LWSDK_DISPLCE_H

#include "lwrender.h"
#include "lwmeshes.h"

#define LWDISPLACEMENT_HCLASS "DisplacementHandler"
#define LWDISPLACEMENT_ICLASS "DisplacementInterface"
#define LWDISPLACEMENT_GCLASS "DisplacementGizmo"
#define LWDISPLACEMENT_VERSION 5

/* oPos is read-only; source is edited in place (world coordinates with
   LWDMF_WORLD). wNorm is valid only with LWDMF_NEED_NORMALS. */
typedef struct st_LWDisplacementAccess {
    LWDVector oPos;
    LWDVector source;
    LWPntID point;
    LWMeshInfo* info;
    LWDVector wNorm;
} LWDisplacementAccess;

typedef struct st_LWDisplacementHandler {
    LWInstanceFuncs* inst;
    LWItemFuncs* item;
    LWRenderFuncs* rend;
    void (*evaluate)(LWInstance inst, LWDisplacementAccess* access);
    unsigned int (*flags)(LWInstance inst);
} LWDisplacementHandler;

#define LWDMF_WORLD (1 << 0)
#define LWDMF_BEFOREBONES (1 << 1)
#define LWDMF_AFTERMORPH (1 << 2)
#define LWDMF_NEED_NORMALS (1 << 3)

#endif
