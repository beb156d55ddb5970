/*
 * lwrender.h -- Layout's scene: items, objects, the scene and interface
 * state, viewports, and the item/render halves of handler records.
 */
#ifndef LWSDK_RENDER_H
#define LWSDK_RENDER_H

#include "lwtypes.h"
#include "lwhandler.h"
#include "lwenvel.h"
#include "lwmeshes.h"

typedef void* LWItemID;
#define LWITEM_NULL ((LWItemID)0)

typedef int LWItemType;
#define LWI_OBJECT 0
#define LWI_LIGHT 1
#define LWI_CAMERA 2
#define LWI_BONE 3

/* Parameters for LWItemInfo.param and friends; results are double[3]. */
typedef int LWItemParam;
#define LWIP_POSITION 1
#define LWIP_RIGHT 2
#define LWIP_UP 3
#define LWIP_FORWARD 4
#define LWIP_ROTATION 5
#define LWIP_SCALING 6
#define LWIP_PIVOT 7
#define LWIP_W_POSITION 8
#define LWIP_W_RIGHT 9
#define LWIP_W_UP 10
#define LWIP_W_FORWARD 11
#define LWIP_PIVOT_ROT 12

typedef void* LWMemChunk;

/* ---- item and render halves of handler records ---- */

typedef struct st_LWNameChangeData {
    const char* oldName;
    const char* newName;
    LWItemID id;
} LWNameChangeData;

/* useItems may return this to be re-evaluated after any change. */
#define LWITEM_ALL ((LWItemID)~0)

typedef struct st_LWItemFuncs {
    const LWItemID* (*useItems)(LWInstance inst); /* LWITEM_NULL-terminated */
    void (*changeID)(LWInstance inst, const LWItemID* ids);
    void (*changeName)(LWInstance inst, const LWNameChangeData* names);
} LWItemFuncs;

typedef struct st_LWItemHandler {
    LWInstanceFuncs* inst;
    LWItemFuncs* item;
} LWItemHandler;

#define LWINIT_PREVIEW 0
#define LWINIT_RENDER 1

typedef struct st_LWRenderFuncs {
    LWError (*init)(LWInstance inst, int mode);
    void (*cleanup)(LWInstance inst);
    LWError (*newTime)(LWInstance inst, LWFrame fr, LWTime t);
} LWRenderFuncs;

typedef struct st_LWRenderHandler {
    LWInstanceFuncs* inst;
    LWItemFuncs* item;
    LWRenderFuncs* rend;
} LWRenderHandler;

/* ---- item info ---- */

#define LWITEMINFO_GLOBAL "LW Item Info 5"

typedef struct st_LWItemInfo {
    LWItemID (*first)(LWItemType type, LWItemID boneObject);
    LWItemID (*next)(LWItemID item);
    LWItemID (*firstChild)(LWItemID parent);
    LWItemID (*nextChild)(LWItemID parent, LWItemID prevChild);
    LWItemID (*parent)(LWItemID item);
    LWItemID (*target)(LWItemID item);
    LWItemID (*goal)(LWItemID item);
    LWItemType (*type)(LWItemID item);
    const char* (*name)(LWItemID item);
    void (*param)(LWItemID item, LWItemParam param, LWTime t, LWDVector vector);
    unsigned int (*limits)(LWItemID item, LWItemParam param, LWDVector lo, LWDVector hi);
    const char* (*getTag)(LWItemID item, int tagNum);
    void (*setTag)(LWItemID item, int tagNum, const char* tag);
    LWChanGroupID (*chanGroup)(LWItemID item);
    const char* (*server)(LWItemID item, const char* cls, int idx);
    unsigned int (*serverFlags)(LWItemID item, const char* cls, int idx);
    void (*controller)(LWItemID item, LWItemParam param, int type[3]);
    unsigned int (*flags)(LWItemID item);
    LWTime (*lookAhead)(LWItemID item);
    double (*goalStrength)(LWItemID item, LWTime t);
    void (*stiffness)(LWItemID item, LWItemParam param, LWDVector stiff);
    unsigned int (*axisLocks)(LWItemID item, LWItemParam param);
    unsigned int (*maxLookSteps)(LWItemID item);
    double (*reliableDistance)(LWItemID item);
    unsigned int (*goalObjective)(LWItemID item);
    double (*ikfkBlending)(LWItemID item, LWTime t);
    unsigned int (*ikInitialState)(LWItemID item);
    LWFrame (*ikInitialStateFrame)(LWItemID item, LWTime t);
    unsigned int (*ikSoft)(LWItemID item, LWTime t, unsigned int* distanceType, double* minDistance,
                           double* maxDistance);
    LWItemID (*pole)(LWItemID item);
    LWItemID (*sameItem)(LWItemID item, LWItemParam param);
    double (*sameItemBlend)(LWItemID item, LWItemParam param, LWTime t);
    unsigned int (*sameItemBlendMethod)(LWItemID item, LWItemParam param);
    unsigned int (*sameItemFlags)(LWItemID item, LWItemParam param);
} LWItemInfo;

#define LWVECF_0 (1 << 0)
#define LWVECF_1 (1 << 1)
#define LWVECF_2 (1 << 2)

#define LWSRVF_DISABLED (1 << 0)
#define LWSRVF_HIDDEN (1 << 1)

#define LWMOTCTL_KEYFRAMES 0
#define LWMOTCTL_TARGETING 1
#define LWMOTCTL_ALIGN_TO_VELOCITY 2
#define LWMOTCTL_IK 3
#define LWMOTCTL_ALIGN_TO_PATH 4
#define LWMOTCTL_POLE 5
#define LWMOTCTL_SAMEITEM 6

/* Item-info flags; the interface-info LWITEMF_* names reuse these bits. */
#define LWITEMF_ACTIVE (1 << 0)
#define LWITEMF_UNAFFECT_BY_IK (1 << 1)
#define LWITEMF_FULLTIME_IK (1 << 2)
#define LWITEMF_GOAL_ORIENT (1 << 3)
#define LWITEMF_REACH_GOAL (1 << 4)
#define LWITEMF_USE_IKCHAINVALS (1 << 5)

#define LWMOTGOAL_POSITION 0
#define LWMOTGOAL_POINT 1
#define LWMOTGOAL_ONYZPLANE 2

#define LWMOTIK_INIT_FIRSTKEY 0
#define LWMOTIK_INIT_MOSTRECENTKEY 1
#define LWMOTIK_INIT_CURRENTCHAN 2
#define LWMOTIK_INIT_CUSTOMFRAME 3

#define LWMOTIK_SOFT_OFF 0
#define LWMOTIK_SOFT_EXPONENTIAL 1
#define LWMOTIK_SOFT_LINEAR 2
#define LWMOTIK_SOFT_CLAMP 3

#define LWMOTIK_SOFT_CHAINCHORD 0
#define LWMOTIK_SOFT_CHAINLENGTH 1
#define LWMOTIK_SOFT_CUSTOMDISTANCE 2

#define LWMOTCTL_SAMEITEM_INTERPOLATE 0
#define LWMOTCTL_SAMEITEM_COMPENSATE 1
#define LWMOTCTL_SAMEITEM_WORLD (1 << 7)

/* ---- object info ---- */

#define LWOBJECTINFO_GLOBAL "LW Object Info 7"

typedef struct st_LWObjectInfo {
    const char* (*filename)(LWItemID obj);
    int (*numPoints)(LWItemID obj);
    int (*numPolygons)(LWItemID obj);
    unsigned int (*shadowOpts)(LWItemID obj);
    double (*dissolve)(LWItemID obj, LWTime t);
    LWMeshInfoID (*meshInfo)(LWItemID obj, int frozen);
    unsigned int (*flags)(LWItemID obj);
    double (*fog)(LWItemID obj, LWTime t);
    LWTextureID (*dispMap)(LWItemID obj);
    LWTextureID (*clipMap)(LWItemID obj);
    void (*patchLevel)(LWItemID obj, int* display, int* render);
    void (*metaballRes)(LWItemID obj, double* display, double* render);
    LWItemID (*boneSource)(LWItemID obj);
    LWItemID (*morphTarget)(LWItemID obj);
    double (*morphAmount)(LWItemID obj, LWTime t);
    unsigned int (*edgeOpts)(LWItemID obj);
    void (*edgeColor)(LWItemID obj, LWTime t, LWDVector color);
    int (*subdivOrder)(LWItemID obj);
    double (*polygonSize)(LWItemID obj, LWTime t);
    int (*excluded)(LWItemID obj, LWItemID light);
    void (*matteColor)(LWItemID obj, LWTime t, LWDVector color);
    double (*thickness)(LWItemID obj, LWTime t, int type);
    double (*edgeZScale)(LWItemID obj, LWTime t);
    double (*shrinkEdgesNominalDistance)(LWItemID obj, LWTime t);
    double (*maxDissolveDistance)(LWItemID obj);
    double (*bumpDistance)(LWItemID obj);
    unsigned int (*getGroupIndex)(LWItemID obj);
    int (*dispMapOrder)(LWItemID obj);
    int (*bumpOrder)(LWItemID obj);
    NodeEditorID (*getNodeEditor)(LWItemID obj);
    int (*nodeOrder)(LWItemID obj);
    void (*bounds)(LWItemID obj, LWDVector lo, LWDVector hi);
    double (*shadowoffsetdistance)(LWItemID obj);
} LWObjectInfo;

#define LWOSHAD_SELF (1 << 0)
#define LWOSHAD_CAST (1 << 1)
#define LWOSHAD_RECEIVE (1 << 2)

#define LWOBJF_UNSEEN_BY_CAMERA (1 << 0)
#define LWOBJF_UNSEEN_BY_RAYS (1 << 1)
#define LWOBJF_UNAFFECT_BY_FOG (1 << 2)
#define LWOBJF_MORPH_MTSE (1 << 3)
#define LWOBJF_MORPH_SURFACES (1 << 4)
#define LWOBJF_MATTE (1 << 5)
#define LWOBJF_UNSEEN_BY_ALPHA (1 << 6)
#define LWOBJF_ALPHA_CONSTANT_BLACK (1 << 7)
#define LWOBJF_DISTANCEDISSOLVE (1 << 8)
#define LWOBJF_BUMPENABLE (1 << 9)
#define LWOBJF_FASTERBONES (1 << 10)
#define LWOBJF_USEMORPHEDPOSITIONS (1 << 11)
#define LWOBJF_CONTAINS1POINTPOLYGONS (1 << 12)
#define LWOBJF_CONTAINSPATCHES (1 << 13)
#define LWOBJF_CONTAINSMETABALLS (1 << 14)
#define LWOBJF_CONTAINSPARTIGONS (1 << 15)
#define LWOBJF_CONTAINSCUSTOMPOLYGONS (1 << 16)
#define LWOBJF_NODEDISPENABLED (1 << 17)
#define LWOBJF_NODEFORMERSAPPLIED (1 << 18)
#define LWOBJF_UNSEEN_BY_RADIOSITY (1 << 19)

#define LWEDGEF_SILHOUETTE (1 << 0)
#define LWEDGEF_UNSHARED (1 << 1)
#define LWEDGEF_CREASE (1 << 2)
#define LWEDGEF_SURFACE (1 << 3)
#define LWEDGEF_OTHER (1 << 4)
#define LWEDGEF_SHRINK_DIST (1 << 8)

#define LWTHICK_SILHOUETTE 0
#define LWTHICK_UNSHARED 1
#define LWTHICK_CREASE 2
#define LWTHICK_SURFACE 3
#define LWTHICK_OTHER 4
#define LWTHICK_LINE 5
#define LWTHICK_PARTICLE_HEAD 6
#define LWTHICK_PARTICLE_TAIL 7

/* ---- scene info ---- */

#define LWSCENEINFO_GLOBAL "LW Scene Info 7"

typedef struct st_LWSceneInfo {
    const char* name;
    const char* filename;
    int numPoints;
    int numPolygons;
    int renderType;
    int renderOpts;
    LWFrame frameStart; /* render range; the preview range is in LWInterfaceInfo */
    LWFrame frameEnd;
    LWFrame frameStep;
    double framesPerSecond;
    int frameWidth;
    int frameHeight;
    double pixelAspect;
    int minSamplesPerPixel;
    int maxSamplesPerPixel;
    int limitedRegion[4];
    int recursionDepth;
    LWItemID (*renderCamera)(LWTime t);
    int numThreads;
    const char* animFilename;
    const char* RGBPrefix;
    const char* alphaPrefix;
    int antialiasing;
    int enhancedAA;
    int adaptiveSampling;
    float adaptiveThreshold;
    int filter;
    int dblSidedAreaLights;
    int loadInProgress;
    int radiosityType;
    int radiosityIndirectBounceCount;
    int radiosityRaysPerEvaluation1;
    int radiosityRaysPerEvaluation2;
    double radiosityIntensity;
    double radiosityAngularTolerance;
    double radiosityMinimumPixelSpacing;
    double radiosityMaximumPixelSpacing;
    double radiosityMultiplier;
    const char* radiosityFileName;
    double causticsIntensity;
    int causticsAccuracy;
    int causticsSoftness;
    int radiosityFlags;
    double dynamicsRangeMin;
    double dynamicsRangeMax;
    double saturation;
    int pixelFilterForceMT;
    int has_multithreaded_filters;
    int useZminmax;
    double zmin;
    double zmax;
    int rendermode;
    int calculateallnormals;
    /* Not in the version 6 record. */
    int enableLenseFlares;
    double lenseFlareIntensity;
} LWSceneInfo;

#define LWRTYPE_WIRE 0
#define LWRTYPE_QUICK 1
#define LWRTYPE_REALISTIC 2

#define LWROPT_SHADOWTRACE (1 << 0)
#define LWROPT_REFLECTTRACE (1 << 1)
#define LWROPT_REFRACTTRACE (1 << 2)
#define LWROPT_FIELDS (1 << 3)
#define LWROPT_EVENFIELDS (1 << 4)
#define LWROPT_MOTIONBLUR (1 << 5)
#define LWROPT_DEPTHOFFIELD (1 << 6)
#define LWROPT_LIMITEDREGION (1 << 7)
#define LWROPT_PARTICLEBLUR (1 << 8)
#define LWROPT_ENHANCEDAA (1 << 9)
#define LWROPT_SAVEANIM (1 << 10)
#define LWROPT_SAVERGB (1 << 11)
#define LWROPT_SAVEALPHA (1 << 12)
#define LWROPT_ZBUFFERAA (1 << 13)
#define LWROPT_RTTRANSPARENCIES (1 << 14)
#define LWROPT_RADIOSITY (1 << 15)
#define LWROPT_CAUSTICS (1 << 16)
#define LWROPT_OCCLUSION (1 << 17)
#define LWROPT_RENDERLINES (1 << 18)
#define LWROPT_INTERPOLATED (1 << 19)
#define LWROPT_BLURBACKGROUND (1 << 20)
#define LWROPT_USETRANSPARENCY (1 << 21)
#define LWROPT_VOLUMETRICRADIOSITY (1 << 22)
#define LWROPT_USEAMBIENT (1 << 23)
#define LWROPT_DIRECTIONALRAYS (1 << 24)
#define LWROPT_LIMITDYNAMICRANGE (1 << 25)
#define LWROPT_CACHERADIOSITY (1 << 26)
#define LWROPT_USEGRADIENTS (1 << 27)
#define LWROPT_USEBEHINDTEST (1 << 28)
#define LWROPT_CAUSTICSCACHE (1 << 29)
#define LWROPT_EYECAMERA (1 << 30)
#define LWROPT_UNPREMULTIPLIEDALPHA ((int)(1u << 31)) /* renderOpts is an int */

enum { SI_NoLoad = 0, SI_LoadScene, SI_LoadFromScene };

/* ---- item list order ---- */

#define LWLISTINFO_GLOBAL "LW List Info"

/* Lists are LWITEM_NULL-terminated; swap takes pairs. */
typedef struct st_LWListInfo {
    int (*index)(LWItemID item);
    int (*reorder)(LWItemID* list);
    int (*swap)(LWItemID* list);
    int (*splice)(LWItemID point, LWItemID* list);
} LWListInfo;

#define SPLICE_HEAD ((LWItemID)0)
#define SPLICE_TAIL ((LWItemID)0xffffffff)

enum {
    LI_Failed = -1, /* index() only */
    LI_Success = 0,
    LI_InvalidItemType,
    LI_ItemTypeMismatch,
    LI_InvalidPair,
    LI_InvalidBoneParent,
    LI_OutOfBounds,
    LI_MixedTypes,
    LI_MixedBones,
    LI_InvalidInsertionPoint,
    LI_CyclicInsertionPoint
};

/* ---- viewports ---- */

#define LWVIEWPORTINFO_GLOBAL "LW Viewport Info 4"

/* Every call takes the viewport index first. Matrices follow the OpenGL
   m[column][row] convention; NULL skips one. */
typedef struct st_LWViewportInfo {
    int numViewports;
    int (*type)(int vp);
    unsigned int (*flags)(int vp);
    void (*pos)(int vp, LWDVector spot);
    void (*xfrm)(int vp, double mat[9]);
    void (*clip)(int vp, double* hither, double* yon);
    void (*rect)(int vp, int* left, int* top, int* width, int* height);
    int (*viewLevel)(int vp);
    int (*projection)(int vp, LWDMatrix4 projection, LWDMatrix4 inverse);
    int (*modelview)(int vp, LWDMatrix4 modelview, LWDMatrix4 inverse);
    int (*project)(int vp, LWDVector world, double* winx, double* winy, double* winz);
    int (*unproject)(int vp, double winx, double winy, double winz, LWDVector world);
    double (*pixelSize)(int vp, double pixels, LWDVector refpos);
    int (*handleSize)(int vp);
    double (*gridSize)(int vp);
    LWItemID (*viewItem)(int vp);
} LWViewportInfo;

#define LVVIEWT_NONE 0
#define LVVIEWT_TOP 1
#define LVVIEWT_BOTTOM 2
#define LVVIEWT_BACK 3
#define LVVIEWT_FRONT 4
#define LVVIEWT_RIGHT 5
#define LVVIEWT_LEFT 6
#define LVVIEWT_PERSPECTIVE 7
#define LVVIEWT_LIGHT 8
#define LVVIEWT_CAMERA 9
#define LVVIEWT_SCHEMATIC 10

#define LWVIEWF_CENTER (1 << 0)
#define LWVIEWF_WEIGHTSHADE (1 << 1)
#define LWVIEWF_XRAY (1 << 2)
#define LWVIEWF_HEADLIGHT (1 << 3)

/* Object display levels (viewLevel, and itemVis for objects). */
#define LWOVIS_HIDDEN 0
#define LWOVIS_BOUNDINGBOX 1
#define LWOVIS_VERTICES 2
#define LWOVIS_WIREFRAME 3
#define LWOVIS_FFWIREFRAME 4
#define LWOVIS_SHADED 5
#define LWOVIS_TEXTURED 6
#define LWOVIS_TEXTURED_WIRE 7

/* ---- interface state ---- */

#define LWINTERFACEINFO_GLOBAL "LW Interface Info 7"

typedef struct st_LWInterfaceInfo {
    LWTime curTime;
    const LWItemID* selItems; /* NULL-terminated */
    unsigned int (*itemFlags)(LWItemID item);
    LWFrame previewStart;
    LWFrame previewEnd;
    LWFrame previewStep;
    int dynaUpdate;
    void (*schemaPos)(LWItemID item, double* x, double* y);
    int (*itemVis)(LWItemID item);
    unsigned int displayFlags;
    unsigned int generalFlags;
    int boxThreshold;
    int (*itemColor)(LWItemID item);
    void (*setItemColorIndex)(LWItemID item, int color);
    void (*setItemColorCustom)(LWItemID item, double* rgb);
    int alertLevel;
    int autoKeyCreate;
    void (*defaultItemTypeColor)(LWItemType type, float* rgb, int set);
    void (*itemColorRgba)(LWItemID item, unsigned int state, float rgba[4]);
    float (*itemIconScale)(LWItemID item);
} LWInterfaceInfo;

#define LWITEMF_SELECTED (1 << 0)
#define LWITEMF_SHOWCHILDREN (1 << 1)
#define LWITEMF_SHOWCHANNELS (1 << 2)
#define LWITEMF_LOCKED (1 << 3)

#define LWIVIS_HIDDEN 0
#define LWIVIS_VISIBLE 1

#define LWDYNUP_OFF 0
#define LWDYNUP_DELAYED 1
#define LWDYNUP_INTERACTIVE 2

#define LWDISPF_MOTIONPATHS (1 << 0)
#define LWDISPF_HANDLES (1 << 1)
#define LWDISPF_IKCHAINS (1 << 2)
#define LWDISPF_CAGES (1 << 3)
#define LWDISPF_SAFEAREAS (1 << 4)
#define LWDISPF_FIELDCHART (1 << 5)

#define LWGENF_HIDETOOLBAR (1 << 0)
#define LWGENF_RIGHTTOOLBAR (1 << 1)
#define LWGENF_PARENTINPLACE (1 << 2)
#define LWGENF_FRACTIONALFRAME (1 << 3)
#define LWGENF_KEYSINSLIDER (1 << 4)
#define LWGENF_PLAYEXACTRATE (1 << 5)
#define LWGENF_AUTOKEY (1 << 6)
#define LWGENF_IKENABLE (1 << 7)
#define LWGENF_LMBITEMSELECT (1 << 8)
#define LWGENF_AUTOCONF (1 << 9)
#define LWGENF_DOUBLECLICKBONEMODE (1 << 10)
#define LWGENF_MCENABLE (1 << 11)

#define LWALERT_BEGINNER 0
#define LWALERT_INTERMEDIATE 1
#define LWALERT_EXPERT 2

#define LWAKC_OFF 0
#define LWAKC_MODIFIED 1
#define LWAKC_ALL 2

#define LWITEMCOL_CURRENT 0
#define LWITEMCOL_NORMAL 1
#define LWITEMCOL_SELECTED 2

#endif
