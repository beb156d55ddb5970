/*
 * lwmeshes.h -- read access to object geometry, and the scene's list of
 * loaded object files.
 */
#ifndef LWSDK_MESHES_H
#define LWSDK_MESHES_H

#include <stddef.h>
#include "lwtypes.h"

/* Opaque; only the typedef names are stable, never name the tags. */
typedef struct st_GCoreVertex* LWPntID;
typedef struct st_GCoreEdge* LWEdgeID;
typedef struct st_GCorePolygon* LWPolID;

typedef struct st_LWMeshInfo* LWMeshInfoID;

/* Scan callbacks: a non-zero result stops the scan and is returned. */
typedef size_t LWPntScanFunc(void* userData, LWPntID pnt);
typedef size_t LWPolScanFunc(void* userData, LWPolID pol);
typedef size_t LWEdgeScanFunc(void* userData, LWEdgeID edge);

typedef void* LWMeshIteratorID;

#define LWMESHITER_POLYGON 1
#define LWMESHITER_POINT 2

typedef enum en_LWMeshEvent { LWMESHEVNT_DESTROY = 0 } LWMeshEvent;

typedef int LWMeshEventFunc(void* data, LWMeshInfoID mesh, LWMeshEvent event, void* eventData);

/* Release through destroy when it is not NULL; a NULL destroy means the
   mesh info is owned by someone else. */
typedef struct st_LWMeshInfo {
    void* priv;
    void (*destroy)(LWMeshInfoID mesh);
    int (*numPoints)(LWMeshInfoID mesh);
    int (*numPolygons)(LWMeshInfoID mesh);
    size_t (*scanPoints)(LWMeshInfoID mesh, LWPntScanFunc* fn, void* userData);
    size_t (*scanPolys)(LWMeshInfoID mesh, LWPolScanFunc* fn, void* userData);
    void (*pntBasePos)(LWMeshInfoID mesh, LWPntID pnt, LWFVector pos);
    void (*pntOtherPos)(LWMeshInfoID mesh, LWPntID pnt, LWFVector pos);
    void* (*pntVLookup)(LWMeshInfoID mesh, LWID type, const char* name);
    int (*pntVSelect)(LWMeshInfoID mesh, void* vmap);
    int (*pntVGet)(LWMeshInfoID mesh, LWPntID pnt, float* vector);
    LWID (*polType)(LWMeshInfoID mesh, LWPolID pol);
    int (*polSize)(LWMeshInfoID mesh, LWPolID pol);
    LWPntID (*polVertex)(LWMeshInfoID mesh, LWPolID pol, int vert);
    const char* (*polTag)(LWMeshInfoID mesh, LWPolID pol, LWID type);
    int (*pntVPGet)(LWMeshInfoID mesh, LWPntID pnt, LWPolID pol, float* vector);
    unsigned int (*polFlags)(LWMeshInfoID mesh, LWPolID pol);
    int (*pntVIDGet)(LWMeshInfoID mesh, LWPntID pnt, float* vector, void* vmap);
    int (*pntVPIDGet)(LWMeshInfoID mesh, LWPntID pnt, LWPolID pol, float* vector, void* vmap);
    int (*polTypeFlags)(LWMeshInfoID mesh, LWPolID pol);
    int (*polBaseNormal)(LWMeshInfoID mesh, LWPolID pol, LWFVector out);
    int (*polOtherNormal)(LWMeshInfoID mesh, LWPolID pol, LWFVector out);
    int (*pntBaseNormal)(LWMeshInfoID mesh, LWPolID pol, LWPntID pnt, LWFVector out);
    int (*pntOtherNormal)(LWMeshInfoID mesh, LWPolID pol, LWPntID pnt, LWFVector out);
    LWMeshIteratorID (*createMeshIterator)(LWMeshInfoID mesh, int iterType);
    void (*destroyMeshIterator)(LWMeshInfoID mesh, LWMeshIteratorID iter);
    void* (*iterateMesh)(LWMeshInfoID mesh, LWMeshIteratorID iter);
    void (*resetMeshIterator)(LWMeshInfoID mesh, LWMeshIteratorID iter);
    int (*setMeshEvent)(LWMeshInfoID mesh, LWMeshEventFunc* fn, void* data);
} LWMeshInfo;

#define LWPOLTYPE_FACE LWID_('F', 'A', 'C', 'E')
#define LWPOLTYPE_CURV LWID_('C', 'U', 'R', 'V')
#define LWPOLTYPE_PTCH LWID_('P', 'T', 'C', 'H')
#define LWPOLTYPE_SUBD LWID_('S', 'U', 'B', 'D')
#define LWPOLTYPE_MBAL LWID_('M', 'B', 'A', 'L')
#define LWPOLTYPE_BONE LWID_('B', 'O', 'N', 'E')

#define LWPTAG_SURF LWID_('S', 'U', 'R', 'F')
#define LWPTAG_PART LWID_('P', 'A', 'R', 'T')
#define LWPTAG_TXUV LWID_('T', 'X', 'U', 'V')
#define LWPTAG_COLR LWID_('C', 'O', 'L', 'R')

#define LWVMAP_PICK LWID_('P', 'I', 'C', 'K')
#define LWVMAP_WGHT LWID_('W', 'G', 'H', 'T')
#define LWVMAP_MNVW LWID_('M', 'N', 'V', 'W')
#define LWVMAP_TXUV LWID_('T', 'X', 'U', 'V')
#define LWVMAP_MORF LWID_('M', 'O', 'R', 'F')
#define LWVMAP_SPOT LWID_('S', 'P', 'O', 'T')
#define LWVMAP_RGB LWID_('R', 'G', 'B', ' ')
#define LWVMAP_RGBA LWID_('R', 'G', 'B', 'A')
#define LWVMAP_NORM LWID_('N', 'O', 'R', 'M')

/* Objects are the unique loaded files (0..numObjects()-1), not scene items. */
#define LWOBJECTFUNCS_GLOBAL "Scene Objects 6"

typedef struct st_LWObjectFuncs {
    int (*numObjects)(void);
    const char* (*filename)(int obj);
    int (*maxLayers)(int obj);
    int (*layerExists)(int obj, int lnum);
    void (*pivotPoint)(int obj, int lnum, LWFVector pos);
    LWMeshInfo* (*layerMesh)(int obj, int lnum);
    int (*numVMaps)(LWID type); /* type 0 counts every type */
    const char* (*vmapName)(LWID type, int i);
    int (*vmapDim)(LWID type, int i);
    LWID (*vmapType)(int i);
    const char* (*layerName)(int obj, int lnum);
    int (*layerVis)(int obj, int lnum);
    const char* (*userName)(int obj);
    const char* (*refName)(int obj);
    int maxPointsPerPoly;
} LWObjectFuncs;

#endif
