/*
 * lwio.h -- the reader/writer records passed to instance load and save.
 */
#ifndef LWSDK_IO_H
#define LWSDK_IO_H

#include "lwtypes.h"

#define LWIO_BINARY 0
#define LWIO_ASCII 1
#define LWIO_OBJECT LWIO_BINARY
#define LWIO_SCENE LWIO_ASCII

/* Mode for the file I/O global, not for handler state. */
#define LWIO_BINARY_IFF 0x8C0000

/* Arrays passed to findBlk end with an id of 0. */
typedef struct st_LWBlockIdent {
    LWID id;
    const char* token;
} LWBlockIdent;

/* Every callback takes writeData/readData first. Binary data is big-endian. */
typedef struct st_LWSaveState {
    int ioMode;
    void* writeData;
    void (*write)(void* writeData, const char* buf, int len);
    void (*writeI1)(void* writeData, const char* vals, int n);
    void (*writeI2)(void* writeData, const short* vals, int n);
    void (*writeI4)(void* writeData, const int* vals, int n);
    void (*writeU1)(void* writeData, const unsigned char* vals, int n);
    void (*writeU2)(void* writeData, const unsigned short* vals, int n);
    void (*writeU4)(void* writeData, const unsigned int* vals, int n);
    void (*writeFP)(void* writeData, const float* vals, int n);
    void (*writeStr)(void* writeData, const char* str);
    void (*writeID)(void* writeData, const LWBlockIdent* ident);
    void (*beginBlk)(void* writeData, const LWBlockIdent* ident, int leaf);
    void (*endBlk)(void* writeData);
    int (*depth)(void* writeData);
    void (*writeDP)(void* writeData, const double* vals, int n);
} LWSaveState;

/* read* return the element count; read returns -1 at the end of data. */
typedef struct st_LWLoadState {
    int ioMode;
    void* readData;
    int (*read)(void* readData, char* buf, int len);
    int (*readI1)(void* readData, char* vals, int n);
    int (*readI2)(void* readData, short* vals, int n);
    int (*readI4)(void* readData, int* vals, int n);
    int (*readU1)(void* readData, unsigned char* vals, int n);
    int (*readU2)(void* readData, unsigned short* vals, int n);
    int (*readU4)(void* readData, unsigned int* vals, int n);
    int (*readFP)(void* readData, float* vals, int n);
    int (*readStr)(void* readData, char* buf, int bufLen);
    LWID (*readID)(void* readData, const LWBlockIdent* idents);
    LWID (*findBlk)(void* readData, const LWBlockIdent* idents);
    void (*endBlk)(void* readData);
    int (*depth)(void* readData);
    int (*readDP)(void* readData, double* vals, int n);
} LWLoadState;

#define LWSAVE_I1(s, p, n) (*(s)->writeI1)((s)->writeData, p, n)
#define LWSAVE_I2(s, p, n) (*(s)->writeI2)((s)->writeData, p, n)
#define LWSAVE_I4(s, p, n) (*(s)->writeI4)((s)->writeData, p, n)
#define LWSAVE_U1(s, p, n) (*(s)->writeU1)((s)->writeData, p, n)
#define LWSAVE_U2(s, p, n) (*(s)->writeU2)((s)->writeData, p, n)
#define LWSAVE_U4(s, p, n) (*(s)->writeU4)((s)->writeData, p, n)
#define LWSAVE_FP(s, p, n) (*(s)->writeFP)((s)->writeData, p, n)
#define LWSAVE_DP(s, p, n) (*(s)->writeDP)((s)->writeData, p, n)
#define LWSAVE_STR(s, p) (*(s)->writeStr)((s)->writeData, p)
#define LWSAVE_ID(s, b) (*(s)->writeID)((s)->writeData, b)
#define LWSAVE_BEGIN(s, b, leaf) (*(s)->beginBlk)((s)->writeData, b, leaf)
#define LWSAVE_END(s) (*(s)->endBlk)((s)->writeData)
#define LWSAVE_DEPTH(s) (*(s)->depth)((s)->writeData)

#define LWLOAD_I1(l, p, n) (*(l)->readI1)((l)->readData, p, n)
#define LWLOAD_I2(l, p, n) (*(l)->readI2)((l)->readData, p, n)
#define LWLOAD_I4(l, p, n) (*(l)->readI4)((l)->readData, p, n)
#define LWLOAD_U1(l, p, n) (*(l)->readU1)((l)->readData, p, n)
#define LWLOAD_U2(l, p, n) (*(l)->readU2)((l)->readData, p, n)
#define LWLOAD_U4(l, p, n) (*(l)->readU4)((l)->readData, p, n)
#define LWLOAD_FP(l, p, n) (*(l)->readFP)((l)->readData, p, n)
#define LWLOAD_DP(l, p, n) (*(l)->readDP)((l)->readData, p, n)
#define LWLOAD_STR(l, p, n) (*(l)->readStr)((l)->readData, p, n)
#define LWLOAD_ID(l, b) (*(l)->readID)((l)->readData, b)
#define LWLOAD_FIND(l, b) (*(l)->findBlk)((l)->readData, b)
#define LWLOAD_END(l) (*(l)->endBlk)((l)->readData)
#define LWLOAD_DEPTH(l) (*(l)->depth)((l)->readData)

#endif
