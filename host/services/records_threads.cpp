// "MultiThreading Utilities 2": mutex objects, thread groups run on
// std::threads, the calls a running thread function makes about itself, and
// reader/writer locks. Every handle a module passes in is checked against
// the ones given out, so null, stale or foreign handles get null, 0 or -1
// answers and change nothing. Thread calls made outside every group's
// threads answer the same way.
#include "services/live_handles.h"
#include "services/mutex_bank.h"
#include "services/rw_lock.h"
#include "services/service_records.h"
#include "services/thread_groups.h"

#include <chrono>
#include <exception>
#include <thread>

namespace host {

namespace {

LiveHandles& handles() {
    static LiveHandles live;
    return live;
}

template <class T> T* live(void* handle, HandleKind kind) {
    return handle && handles().holds(handle, kind) ? static_cast<T*>(handle) : nullptr;
}

MutexBank* liveMutexes(LWMTUtilID id) {
    return live<MutexBank>(id, HandleKind::Mutexes);
}

ThreadGroup* liveGroup(LWMTGroupID id) {
    return live<ThreadGroup>(id, HandleKind::Group);
}

GroupThread* liveThread(LWMTThreadID id) {
    return live<GroupThread>(id, HandleKind::Thread);
}

ReadWriteLock* liveLock(LWMTRWLockID id) {
    return live<ReadWriteLock>(id, HandleKind::ReadWriteLock);
}

// Makes a T and registers it; null when memory runs out, as no exception may
// reach the module.
template <class T, class... A> T* made(HandleKind kind, A... args) {
    T* object = nullptr;
    try {
        object = new T(args...);
        handles().add(object, kind);
        return object;
    } catch (const std::exception&) {
        delete object;
        return nullptr;
    }
}

XCALL_(LWMTUtilID) mtCreate() {
    return made<MutexBank>(HandleKind::Mutexes);
}

XCALL_(void) mtDestroy(LWMTUtilID id) {
    if (handles().remove(id, HandleKind::Mutexes)) delete static_cast<MutexBank*>(id);
}

XCALL_(int) mtLock(LWMTUtilID id, int mutexID) {
    MutexBank* bank = liveMutexes(id);
    return bank && bank->lock(mutexID) ? 1 : 0;
}

XCALL_(int) mtUnlock(LWMTUtilID id, int mutexID) {
    MutexBank* bank = liveMutexes(id);
    return bank && bank->unlock(mutexID) ? 1 : 0;
}

XCALL_(LWMTGroupID) groupCreate(int count) {
    if (count <= 0 || count > ThreadGroup::kMaxThreads) return nullptr;
    return made<ThreadGroup>(HandleKind::Group, count);
}

XCALL_(void) groupDestroy(LWMTGroupID id) {
    ThreadGroup* group = liveGroup(id);
    // From inside its own run the group would wait for itself for ever.
    if (!group || group->ownsCallingThread()) return;
    // The running functions may still use the group's handle and their IDs.
    group->sync();
    if (!handles().remove(group, HandleKind::Group)) return;
    for (int i = 0; i < group->count(); ++i)
        handles().remove(group->thread(i), HandleKind::Thread);
    delete group;
}

XCALL_(int) groupLockMutex(LWMTGroupID id, int mutexID) {
    ThreadGroup* group = liveGroup(id);
    return group && group->mutexes().lock(mutexID) ? 1 : 0;
}

XCALL_(int) groupUnlockMutex(LWMTGroupID id, int mutexID) {
    ThreadGroup* group = liveGroup(id);
    return group && group->mutexes().unlock(mutexID) ? 1 : 0;
}

XCALL_(LWMTThreadID) groupAddThread(LWMTGroupID id, LWMTThreadFunc func, int flags, void* arg) {
    ThreadGroup* group = liveGroup(id);
    if (!group) return nullptr;
    try {
        GroupThread* thread = group->add(func, flags, arg);
        if (thread) handles().add(thread, HandleKind::Thread);
        return thread;
    } catch (const std::exception&) {
        return nullptr;
    }
}

XCALL_(LWMTThreadID) groupGetThreadID(LWMTGroupID id, int index) {
    ThreadGroup* group = liveGroup(id);
    return group ? group->thread(index) : nullptr;
}

XCALL_(int) groupGetThreadCount(LWMTGroupID id) {
    ThreadGroup* group = liveGroup(id);
    return group ? group->count() : 0;
}

XCALL_(int) groupRun(LWMTGroupID id) {
    ThreadGroup* group = liveGroup(id);
    if (!group || !group->begin()) return 0;
    group->sync();
    return 1;
}

XCALL_(int) groupBegin(LWMTGroupID id) {
    ThreadGroup* group = liveGroup(id);
    return group && group->begin() ? 1 : 0;
}

XCALL_(void) groupSync(LWMTGroupID id) {
    if (ThreadGroup* group = liveGroup(id)) group->sync();
}

XCALL_(void) groupAbort(LWMTGroupID id) {
    if (ThreadGroup* group = liveGroup(id)) group->abort();
}

// A std::thread cannot be killed safely: the functions are told to stop and
// waited for, as with an abort and a sync.
XCALL_(void) groupKill(LWMTGroupID id) {
    if (ThreadGroup* group = liveGroup(id)) {
        group->abort();
        group->sync();
    }
}

XCALL_(int) groupIsDone(LWMTGroupID id) {
    ThreadGroup* group = liveGroup(id);
    return group && group->done() ? 1 : 0;
}

XCALL_(int) groupIsAborted(LWMTGroupID id) {
    ThreadGroup* group = liveGroup(id);
    return group && group->aborted() ? 1 : 0;
}

XCALL_(int) groupThreadResult(LWMTGroupID id, int index) {
    ThreadGroup* group = liveGroup(id);
    return group ? group->result(index) : 0;
}

XCALL_(int) groupWait(LWMTGroupID id, unsigned int timeoutMs) {
    ThreadGroup* group = liveGroup(id);
    return group && group->wait(timeoutMs) ? 1 : 0;
}

XCALL_(LWMTThreadID) threadGetID() {
    return ThreadGroup::current();
}

XCALL_(void) threadSetData(void* data) {
    if (GroupThread* self = ThreadGroup::current()) self->data.store(data);
}

XCALL_(void*) threadGetData() {
    GroupThread* self = ThreadGroup::current();
    return self ? self->data.load() : nullptr;
}

XCALL_(void*) threadGetArg() {
    GroupThread* self = ThreadGroup::current();
    return self ? self->arg.load() : nullptr;
}

XCALL_(void*) threadGetArgByID(LWMTThreadID id) {
    GroupThread* thread = liveThread(id);
    return thread ? thread->arg.load() : nullptr;
}

XCALL_(int) threadGetIndex() {
    GroupThread* self = ThreadGroup::current();
    return self ? self->index.load() : -1;
}

XCALL_(int) threadGetIndexByID(LWMTThreadID id) {
    GroupThread* thread = liveThread(id);
    return thread ? thread->index.load() : -1;
}

XCALL_(int) threadGetThreadCount(LWMTThreadID id) {
    GroupThread* thread = liveThread(id);
    return thread ? thread->group->count() : 0;
}

XCALL_(LWMTGroupID) threadGetGroupID(LWMTThreadID id) {
    GroupThread* thread = liveThread(id);
    return thread ? thread->group : nullptr;
}

XCALL_(int) threadCheckAbort() {
    GroupThread* self = ThreadGroup::current();
    return self && self->group->aborted() ? 1 : 0;
}

XCALL_(int) threadCheckAbortByID(LWMTThreadID id) {
    GroupThread* thread = liveThread(id);
    return thread && thread->group->aborted() ? 1 : 0;
}

XCALL_(void) threadSleep(int ms) {
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    else
        std::this_thread::yield();
}

XCALL_(void) threadSetArg(void* arg) {
    if (GroupThread* self = ThreadGroup::current()) self->arg.store(arg);
}

XCALL_(void) threadSetIndex(int index) {
    if (GroupThread* self = ThreadGroup::current()) self->index.store(index);
}

XCALL_(LWMTRWLockID) rwlockCreate() {
    return made<ReadWriteLock>(HandleKind::ReadWriteLock);
}

XCALL_(void) rwlockDestroy(LWMTRWLockID id) {
    if (handles().remove(id, HandleKind::ReadWriteLock)) delete static_cast<ReadWriteLock*>(id);
}

XCALL_(void) rwlockReadLock(LWMTRWLockID id) {
    if (ReadWriteLock* lock = liveLock(id)) lock->readLock();
}

XCALL_(int) rwlockReadLockTimeout(LWMTRWLockID id, unsigned int timeoutMs) {
    ReadWriteLock* lock = liveLock(id);
    return lock && lock->readLockFor(timeoutMs) ? 1 : 0;
}

XCALL_(void) rwlockReadUnlock(LWMTRWLockID id) {
    if (ReadWriteLock* lock = liveLock(id)) lock->readUnlock();
}

XCALL_(void) rwlockWriteLock(LWMTRWLockID id) {
    if (ReadWriteLock* lock = liveLock(id)) lock->writeLock();
}

XCALL_(void) rwlockWriteUnlock(LWMTRWLockID id) {
    if (ReadWriteLock* lock = liveLock(id)) lock->writeUnlock();
}

XCALL_(void) rwlockWriteToReadLock(LWMTRWLockID id) {
    if (ReadWriteLock* lock = liveLock(id)) lock->writeToRead();
}

} // namespace

void fillThreadRecords(ServiceRecords& r) {
    LWMTUtilFuncs& f = r.mtUtilFuncs;
    f.create = mtCreate;
    f.destroy = mtDestroy;
    f.lock = mtLock;
    f.unlock = mtUnlock;
    f.groupCreate = groupCreate;
    f.groupDestroy = groupDestroy;
    f.groupLockMutex = groupLockMutex;
    f.groupUnlockMutex = groupUnlockMutex;
    f.groupAddThread = groupAddThread;
    f.groupGetThreadID = groupGetThreadID;
    f.groupGetThreadCount = groupGetThreadCount;
    f.groupRun = groupRun;
    f.groupBegin = groupBegin;
    f.groupSync = groupSync;
    f.groupAbort = groupAbort;
    f.groupKill = groupKill;
    f.groupIsDone = groupIsDone;
    f.groupIsAborted = groupIsAborted;
    f.groupThreadResult = groupThreadResult;
    f.threadGetID = threadGetID;
    f.threadSetData = threadSetData;
    f.threadGetData = threadGetData;
    f.threadGetArg = threadGetArg;
    f.threadGetArgByID = threadGetArgByID;
    f.threadGetIndex = threadGetIndex;
    f.threadGetIndexByID = threadGetIndexByID;
    f.threadGetThreadCount = threadGetThreadCount;
    f.threadGetGroupID = threadGetGroupID;
    f.threadCheckAbort = threadCheckAbort;
    f.threadCheckAbortByID = threadCheckAbortByID;
    f.threadSleep = threadSleep;
    f.threadSetArg = threadSetArg;
    f.threadSetIndex = threadSetIndex;
    f.groupWait = groupWait;
    f.rwlockCreate = rwlockCreate;
    f.rwlockDestroy = rwlockDestroy;
    f.rwlockReadLock = rwlockReadLock;
    f.rwlockReadLockTimeout = rwlockReadLockTimeout;
    f.rwlockReadUnlock = rwlockReadUnlock;
    f.rwlockWriteLock = rwlockWriteLock;
    f.rwlockWriteUnlock = rwlockWriteUnlock;
    f.rwlockWriteToReadLock = rwlockWriteToReadLock;
}

} // namespace host
