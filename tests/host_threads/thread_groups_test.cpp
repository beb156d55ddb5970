// "MultiThreading Utilities 2" as a module sees it through the stand-in host:
// thread groups, the calls a thread function makes about itself, the locks.
#include "host/host.h"

#include <lwmtutil.h>

#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <sstream>
#include <thread>
#include <vector>

namespace {

// Thread functions are plain C callbacks; they reach the service here.
const LWMTUtilFuncs* mt = nullptr;

struct ThreadsTest : testing::Test {
    std::ostringstream out;
    host::Host layout{out};
    void SetUp() override {
        mt = static_cast<const LWMTUtilFuncs*>(
            layout.services().lookup("MultiThreading Utilities 2"));
        ASSERT_NE(mt, nullptr);
    }

    // A group of count threads running func, each with args[i] (or null).
    template <class T> LWMTGroupID makeGroup(int count, LWMTThreadFunc func, std::vector<T>* args) {
        LWMTGroupID group = mt->groupCreate(count);
        for (int i = 0; i < count; ++i)
            EXPECT_NE(mt->groupAddThread(group, func, 0, args ? &(*args)[i] : nullptr), nullptr);
        return group;
    }
};

// Waits up to two seconds for a condition other threads bring about.
template <class F> bool eventually(F condition) {
    for (int i = 0; i < 2000 && !condition(); ++i)
        mt->threadSleep(1);
    return condition();
}

struct Slice {
    int begin, end;
    long sum = 0;
    int index = -2, count = 0;
    LWMTThreadID id = nullptr, idByIndex = nullptr;
    LWMTGroupID group = nullptr;
    void *arg = nullptr, *data = nullptr;
};

int sumSlice(void* arg) {
    auto* s = static_cast<Slice*>(arg);
    for (int v = s->begin; v < s->end; ++v)
        s->sum += v;
    s->index = mt->threadGetIndex();
    s->id = mt->threadGetID();
    s->group = mt->threadGetGroupID(s->id);
    s->idByIndex = mt->groupGetThreadID(s->group, s->index);
    s->count = mt->threadGetThreadCount(s->id);
    s->arg = mt->threadGetArg();
    mt->threadSetData(&s->sum);
    s->data = mt->threadGetData();
    return 100 + s->index;
}

TEST_F(ThreadsTest, AGroupOfFourSumsItsSlicesEachThreadSeeingItsOwnIndexArgAndData) {
    const int n = 1000;
    std::vector<Slice> slices;
    for (int i = 0; i < 4; ++i)
        slices.push_back(Slice{i * n / 4, (i + 1) * n / 4});
    LWMTGroupID group = makeGroup(4, sumSlice, &slices);
    EXPECT_EQ(mt->groupAddThread(group, sumSlice, 0, nullptr), nullptr); // full
    EXPECT_EQ(mt->groupGetThreadCount(group), 4);

    ASSERT_EQ(mt->groupRun(group), 1);
    EXPECT_EQ(mt->groupIsDone(group), 1);
    long total = 0;
    for (int i = 0; i < 4; ++i) {
        const Slice& s = slices[i];
        EXPECT_EQ(s.sum, long(s.end - s.begin) * (s.begin + s.end - 1) / 2) << i;
        EXPECT_EQ(s.index, i);
        EXPECT_EQ(s.id, mt->groupGetThreadID(group, i));
        EXPECT_EQ(s.idByIndex, s.id);
        EXPECT_EQ(s.group, group);
        EXPECT_EQ(s.count, 4);
        EXPECT_EQ(s.arg, &slices[i]);
        EXPECT_EQ(s.data, &s.sum);
        EXPECT_EQ(mt->threadGetArgByID(s.id), &slices[i]);
        EXPECT_EQ(mt->threadGetIndexByID(s.id), i);
        EXPECT_EQ(mt->groupThreadResult(group, i), 100 + i);
        total += s.sum;
    }
    EXPECT_EQ(total, long(n) * (n - 1) / 2);
    mt->groupDestroy(group);
}

std::atomic<int> started{0};

// Runs until told to stop, then answers 7 (or 9 when never told).
int pollAbort(void*) {
    started.fetch_add(1);
    while (!mt->threadCheckAbort())
        mt->threadSleep(1);
    return mt->threadCheckAbortByID(mt->threadGetID()) ? 7 : 9;
}

TEST_F(ThreadsTest, BeginReturnsAtOnceAndRunningThreadsSeeTheAbortFlag) {
    started = 0;
    LWMTGroupID group = makeGroup<int>(3, pollAbort, nullptr);
    ASSERT_EQ(mt->groupBegin(group), 1);
    ASSERT_TRUE(eventually([] { return started.load() == 3; }));
    EXPECT_EQ(mt->groupIsDone(group), 0);
    EXPECT_EQ(mt->groupWait(group, 5), 0);
    EXPECT_EQ(mt->groupBegin(group), 0); // already running
    EXPECT_EQ(mt->groupAddThread(group, pollAbort, 0, nullptr), nullptr);

    mt->groupAbort(group);
    EXPECT_EQ(mt->groupWait(group, 2000), 1);
    mt->groupSync(group);
    EXPECT_EQ(mt->groupIsAborted(group), 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(mt->groupThreadResult(group, i), 7);

    // A kill stops a second run the same way; a new run clears the flag first.
    ASSERT_EQ(mt->groupBegin(group), 1);
    ASSERT_TRUE(eventually([] { return started.load() == 6; }));
    EXPECT_EQ(mt->groupIsAborted(group), 0);
    mt->groupKill(group);
    EXPECT_EQ(mt->groupIsDone(group), 1);
    mt->groupDestroy(group);
}

struct Counter {
    LWMTUtilID mutexes;
    LWMTGroupID group;
    int shared = 0;
};

const int kIncrements = 2000;
std::atomic<int> counting{0};

// Every counting thread starts only when all have, so that they overlap, and
// yields between reading and writing the counter, so an unguarded increment
// would be lost.
Counter* startCounting(void* arg) {
    counting.fetch_add(1);
    eventually([] { return counting.load() == 4; });
    return static_cast<Counter*>(arg);
}

void increment(int& shared) {
    int value = shared;
    mt->threadSleep(0);
    shared = value + 1;
}

int countWithObjectLock(void* arg) {
    auto* c = startCounting(arg);
    for (int i = 0; i < kIncrements; ++i) {
        mt->lock(c->mutexes, 5);
        increment(c->shared);
        mt->unlock(c->mutexes, 5);
    }
    return 0;
}

int countWithGroupLock(void* arg) {
    auto* c = startCounting(arg);
    for (int i = 0; i < kIncrements; ++i) {
        mt->groupLockMutex(c->group, LWMT_MUTEX_COUNT - 1);
        increment(c->shared);
        mt->groupUnlockMutex(c->group, LWMT_MUTEX_COUNT - 1);
    }
    return 0;
}

class LockTest : public ThreadsTest, public testing::WithParamInterface<LWMTThreadFunc> {};

TEST_P(LockTest, LocksSerialiseASharedCounter) {
    const int n = 4;
    counting = 0;
    Counter counter{mt->create(), mt->groupCreate(n)};
    for (int i = 0; i < n; ++i)
        mt->groupAddThread(counter.group, GetParam(), 0, &counter);
    ASSERT_EQ(mt->groupRun(counter.group), 1);
    EXPECT_EQ(counter.shared, n * kIncrements);
    mt->groupDestroy(counter.group);
    mt->destroy(counter.mutexes);
}

INSTANTIATE_TEST_SUITE_P(ObjectAndGroupMutexes, LockTest,
                         testing::Values(countWithObjectLock, countWithGroupLock));

TEST_F(ThreadsTest, LockIdsOutOfRangeAndUnheldOrHeldLocksAreRefused) {
    LWMTUtilID mutexes = mt->create();
    LWMTGroupID group = mt->groupCreate(1);
    using Call = int (*)(void*, int);
    const Call locks[][2] = {{mt->lock, mt->unlock}, {mt->groupLockMutex, mt->groupUnlockMutex}};
    void* owners[] = {mutexes, group};
    for (int k = 0; k < 2; ++k) {
        Call lock = locks[k][0], unlock = locks[k][1];
        for (int id : {-1, LWMT_MUTEX_COUNT, 1 << 20}) {
            EXPECT_EQ(lock(owners[k], id), 0) << id;
            EXPECT_EQ(unlock(owners[k], id), 0) << id;
        }
        EXPECT_EQ(unlock(owners[k], 0), 0); // not held
        EXPECT_EQ(lock(owners[k], 0), 1);
        EXPECT_EQ(lock(owners[k], 0), 0); // held by this thread: no deadlock
        EXPECT_EQ(lock(nullptr, 0), 0);
        EXPECT_EQ(lock(owners[1 - k], 1), 0); // a handle of the other kind
        EXPECT_EQ(unlock(owners[k], 0), 1);
        EXPECT_EQ(unlock(owners[k], 0), 0);
    }
    mt->groupDestroy(group);
    mt->destroy(mutexes); // waits for nothing: this thread's own locks are released
}

struct Gate {
    LWMTRWLockID lock;
    bool write;
    std::atomic<int> inside{0}, most{0}, readers{0};
};

// Readers stay until every reader is inside at once (or two seconds pass).
int holdLock(void* arg) {
    auto* g = static_cast<Gate*>(arg);
    g->write ? mt->rwlockWriteLock(g->lock) : mt->rwlockReadLock(g->lock);
    int now = g->inside.fetch_add(1) + 1;
    for (int most = g->most.load(); now > most && !g->most.compare_exchange_weak(most, now);) {
    }
    if (!g->write) eventually([g] { return g->inside.load() == 4; });
    mt->threadSleep(2);
    g->inside.fetch_sub(1);
    g->write ? mt->rwlockWriteUnlock(g->lock) : mt->rwlockReadUnlock(g->lock);
    return 0;
}

TEST_F(ThreadsTest, ReadersShareTheLockAndWritersHoldItAlone) {
    for (bool write : {false, true}) {
        Gate gate{mt->rwlockCreate(), write};
        LWMTGroupID group = mt->groupCreate(4);
        for (int i = 0; i < 4; ++i)
            mt->groupAddThread(group, holdLock, 0, &gate);
        ASSERT_EQ(mt->groupRun(group), 1);
        EXPECT_EQ(gate.most.load(), write ? 1 : 4) << (write ? "writers" : "readers");
        mt->groupDestroy(group);
        mt->rwlockDestroy(gate.lock);
    }
}

int tryRead(void* lock) {
    int got = mt->rwlockReadLockTimeout(lock, 20);
    if (got) mt->rwlockReadUnlock(lock);
    return got;
}

TEST_F(ThreadsTest, ATimedReadFailsWhileAWriterHoldsTheLockAndSucceedsOnceItReads) {
    LWMTRWLockID lock = mt->rwlockCreate();
    LWMTGroupID group = mt->groupCreate(1);
    mt->groupAddThread(group, tryRead, 0, lock);
    mt->rwlockWriteLock(lock);
    EXPECT_EQ(mt->rwlockReadLockTimeout(lock, 0), 0); // this thread writes
    mt->groupRun(group);
    EXPECT_EQ(mt->groupThreadResult(group, 0), 0);
    mt->rwlockWriteToReadLock(lock);
    mt->groupRun(group);
    EXPECT_EQ(mt->groupThreadResult(group, 0), 1);
    mt->rwlockReadUnlock(lock);
    mt->rwlockReadUnlock(lock); // not held any more: ignored
    mt->groupDestroy(group);
    mt->rwlockDestroy(lock);
}

// What a thread that is not a group's own hears.
void expectOutsideAnswers() {
    EXPECT_EQ(mt->threadGetID(), nullptr);
    EXPECT_EQ(mt->threadGetIndex(), -1);
    EXPECT_EQ(mt->threadGetArg(), nullptr);
    mt->threadSetData(&mt);
    mt->threadSetArg(&mt);
    mt->threadSetIndex(3);
    EXPECT_EQ(mt->threadGetData(), nullptr);
    EXPECT_EQ(mt->threadCheckAbort(), 0);
}

int noop(void*) {
    return 1;
}

TEST_F(ThreadsTest, OutsideAGroupAndWithBadHandlesCallsAnswerNullZeroOrMinusOne) {
    expectOutsideAnswers();
    std::thread plain(expectOutsideAnswers);
    plain.join();

    for (int count : {0, -1, 1025})
        EXPECT_EQ(mt->groupCreate(count), nullptr) << count;
    LWMTGroupID largest = mt->groupCreate(1024);
    EXPECT_NE(largest, nullptr);
    mt->groupDestroy(largest);
    LWMTGroupID group = mt->groupCreate(2);
    EXPECT_EQ(mt->groupAddThread(group, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(mt->groupAddThread(nullptr, noop, 0, nullptr), nullptr);
    LWMTThreadID thread = mt->groupAddThread(group, noop, 0, nullptr);
    for (int index : {-1, 1, 2}) {
        EXPECT_EQ(mt->groupGetThreadID(group, index), nullptr) << index;
        EXPECT_EQ(mt->groupThreadResult(group, index), 0) << index;
    }
    EXPECT_EQ(mt->groupIsDone(group), 1); // nothing is running
    EXPECT_EQ(mt->groupRun(group), 1);
    EXPECT_EQ(mt->groupThreadResult(group, 0), 1);
    EXPECT_EQ(mt->threadGetIndexByID(&mt), -1); // not a thread ID
    EXPECT_EQ(mt->lock(group, 1), 0);           // not a mutex object
    mt->groupDestroy(group);
    mt->groupDestroy(group); // stale: ignored
    EXPECT_EQ(mt->groupGetThreadCount(group), 0);
    EXPECT_EQ(mt->groupRun(group), 0);
    EXPECT_EQ(mt->groupWait(group, 0), 0);
    EXPECT_EQ(mt->threadGetIndexByID(thread), -1);
    EXPECT_EQ(mt->threadGetThreadCount(thread), 0);
    EXPECT_EQ(mt->threadGetGroupID(thread), nullptr);
    mt->rwlockReadLock(nullptr);
    EXPECT_EQ(mt->rwlockReadLockTimeout(nullptr, 1), 0);
}

struct SelfUse {
    LWMTGroupID group;
    std::atomic<int> finished{0};
    std::atomic<int> runsFromInside{0};
};

int useOwnGroup(void* arg) {
    auto* s = static_cast<SelfUse*>(arg);
    s->runsFromInside.fetch_add(mt->groupRun(s->group));
    mt->groupSync(s->group);
    EXPECT_EQ(mt->groupWait(s->group, 1), 0);
    mt->groupDestroy(s->group); // would wait for itself: refused
    mt->threadSleep(20);
    s->finished.fetch_add(1);
    return 0;
}

TEST_F(ThreadsTest, AGroupUsedFromItsOwnThreadOrDestroyedWhileRunningNeverWaitsForItself) {
    SelfUse self{mt->groupCreate(2)};
    for (int i = 0; i < 2; ++i)
        mt->groupAddThread(self.group, useOwnGroup, 0, &self);
    ASSERT_EQ(mt->groupBegin(self.group), 1);
    mt->groupDestroy(self.group); // waits for the run
    EXPECT_EQ(self.finished.load(), 2);
    EXPECT_EQ(self.runsFromInside.load(), 0);
}

} // namespace
