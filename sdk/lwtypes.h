/*
 * lwtypes.h -- basic types shared by every plug-in header.
 *
 * Includes nothing on purpose: the other headers build on this one, and
 * module code may pull it in before any system header.
 */
#ifndef LWSDK_TYPES_H
#define LWSDK_TYPES_H

#ifndef NULL
#ifdef __cplusplus
#define NULL 0
#else
#define NULL ((void*)0)
#endif
#endif

typedef int LWFrame;
typedef double LWTime; /* seconds */

typedef float LWFVector[3];
typedef double LWDVector[3];
typedef float LWFMatrix3[3][3];
typedef float LWFMatrix4[4][4];
typedef double LWDMatrix3[3][3];
typedef double LWDMatrix4[4][4];

/* Four-character code, first character in the high byte. */
typedef unsigned int LWID;
#define LWID_(a, b, c, d)                                                                          \
    (((unsigned)(a) << 24) | ((unsigned)(b) << 16) | ((unsigned)(c) << 8) | (unsigned)(d))

typedef int LWCommandCode;
typedef void* LWChannelID;
typedef void* LWInstance;

/* NULL means success; otherwise a message the host shows to the user. */
typedef const char* LWError;

typedef void* LWImageID;
typedef void* LWPixmapID;
typedef void* LWTextureID;
typedef void* NodeEditorID;

typedef float LWBufferValue;

/* Integer values travel through pointer-sized slots (globals, hints, ids).
   size_t must be visible where these are expanded. */
#define PTR2INT(x) ((int)(size_t)(x))
#define PTR2UINT(x) ((unsigned int)(size_t)(x))
#define INT2PTR(x) ((void*)(size_t)(x))
#define UINT2PTR(x) ((void*)(size_t)(x))
#define LWITEMID2INT(x) PTR2INT(x)
#define LWITEMID2UINT(x) PTR2UINT(x)
#define INT2LWITEMID(x) ((LWItemID)INT2PTR(x))
#define UINT2LWITEMID(x) ((LWItemID)UINT2PTR(x))

#endif
