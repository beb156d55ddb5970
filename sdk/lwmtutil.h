/*
 * lwmtutil.h -- the host's threads, thread groups, mutexes and
 * reader/writer locks.
 */
#ifndef LWSDK_MTUTIL_H
#define LWSDK_MTUTIL_H

#define LWMTUTILFUNCS_GLOBAL "MultiThreading Utilities 2"

typedef void* LWMTUtilID;
typedef void* LWMTGroupID;
typedef void* LWMTThreadID;
typedef void* LWMTRWLockID;

typedef int (*LWMTThreadFunc)(void* arg);

/* A mutex object holds LWMT_MUTEX_COUNT locks: id 0 is the thread lock,
   1..128 are free for the caller. */
#define LWMT_MUTEX_BITS 7
#define LWMT_MUTEX_COUNT ((1 << LWMT_MUTEX_BITS) + 1)
#define LWMT_MUTEX_MASK ((1 << LWMT_MUTEX_BITS) - 1)

typedef struct st_LWMTUtilFuncs {
    LWMTUtilID (*create)(void);
    void (*destroy)(LWMTUtilID mtid);
    int (*lock)(LWMTUtilID mtid, int mutexID);
    int (*unlock)(LWMTUtilID mtid, int mutexID);
    LWMTGroupID (*groupCreate)(int count);
    void (*groupDestroy)(LWMTGroupID group);
    int (*groupLockMutex)(LWMTGroupID group, int mutexID);
    int (*groupUnlockMutex)(LWMTGroupID group, int mutexID);
    LWMTThreadID (*groupAddThread)(LWMTGroupID group, LWMTThreadFunc func, int flags, void* arg);
    LWMTThreadID (*groupGetThreadID)(LWMTGroupID group, int index);
    int (*groupGetThreadCount)(LWMTGroupID group);
    int (*groupRun)(LWMTGroupID group);
    int (*groupBegin)(LWMTGroupID group);
    void (*groupSync)(LWMTGroupID group);
    void (*groupAbort)(LWMTGroupID group);
    void (*groupKill)(LWMTGroupID group);
    int (*groupIsDone)(LWMTGroupID group);
    int (*groupIsAborted)(LWMTGroupID group);
    int (*groupThreadResult)(LWMTGroupID group, int index);
    LWMTThreadID (*threadGetID)(void);
    void (*threadSetData)(void* data);
    void* (*threadGetData)(void);
    void* (*threadGetArg)(void);
    void* (*threadGetArgByID)(LWMTThreadID thread);
    int (*threadGetIndex)(void);
    int (*threadGetIndexByID)(LWMTThreadID thread);
    int (*threadGetThreadCount)(LWMTThreadID thread);
    LWMTGroupID (*threadGetGroupID)(LWMTThreadID thread);
    int (*threadCheckAbort)(void);
    int (*threadCheckAbortByID)(LWMTThreadID thread);
    void (*threadSleep)(int ms);
    void (*threadSetArg)(void* arg);
    void (*threadSetIndex)(int index);
    int (*groupWait)(LWMTGroupID group, unsigned int timeout);
    LWMTRWLockID (*rwlockCreate)(void);
    void (*rwlockDestroy)(LWMTRWLockID lock);
    void (*rwlockReadLock)(LWMTRWLockID lock);
    int (*rwlockReadLockTimeout)(LWMTRWLockID lock, unsigned int timeout);
    void (*rwlockReadUnlock)(LWMTRWLockID lock);
    void (*rwlockWriteLock)(LWMTRWLockID lock);
    void (*rwlockWriteUnlock)(LWMTRWLockID lock);
    void (*rwlockWriteToReadLock)(LWMTRWLockID lock);
} LWMTUtilFuncs;

#endif
