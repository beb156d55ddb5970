/*
 * lwdyna.h -- dynamic values: the argument and result cells of command
 * execution.
 */
#ifndef LWSDK_DYNA_H
#define LWSDK_DYNA_H

#include <stddef.h>
#include "lwxpanel.h"

typedef int DynaType;

/* Same numbering as the panel value types (LWT_*). */
#define DY_NULL 0
#define DY_STRING 1
#define DY_INTEGER 2
#define DY_FLOAT 3
#define DY_DISTANCE 4
#define DY_VINT 5
#define DY_VFLOAT 6
#define DY_VDIST 7
#define DY_BOOLEAN 8
#define DY_CHOICE 9
#define DY_SURFACE 10
#define DY_FONT 11
#define DY_TEXT 12
#define DY_LAYERS 13
#define DY_CUSTOM 14
#define DY_RANGE 15
#define DY_LWITEM 16
#define DY_PERCENT 17
#define DY_POPUP 18
#define DY_AREA 19
#define DY_XPANEL 20
#define DY_TREE 21
#define DY_MLIST 22
#define DY_POINTER 23
#define DY__LAST DY_POINTER

/* Each variant starts with the type so the union can be read through any. */
typedef struct st_DyValString {
    DynaType type;
    char* buf;
    int bufLen;
} DyValString;

typedef struct st_DyValInt {
    DynaType type;
    int value;
    int defVal;
} DyValInt;

typedef struct st_DyValFloat {
    DynaType type;
    double value;
    double defVal;
} DyValFloat;

typedef struct st_DyValIVector {
    DynaType type;
    int val[3];
    int defVal;
} DyValIVector;

typedef struct st_DyValFVector {
    DynaType type;
    double val[3];
    double defVal;
} DyValFVector;

typedef struct st_DyValPointer {
    DynaType type;
    void* ptr;
} DyValPointer;

typedef struct st_DyValCustom {
    DynaType type;
    size_t val[4];
} DyValCustom;

typedef union un_DynaValue {
    DynaType type;
    DyValString str;
    DyValInt intv;
    DyValFloat flt;
    DyValIVector ivec;
    DyValFVector fvec;
    DyValPointer ptr;
    DyValCustom cust;
} DynaValue;

#endif
