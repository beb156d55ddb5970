// Thread groups as Layout runs them for plug-ins: a group holds up to a fixed
// number of thread functions, each with its argument; a run starts one
// std::thread per function and the caller waits for all or for some time.
// Aborting only raises a flag the functions poll (threadCheckAbort), as a
// std::thread cannot be stopped from outside safely; a kill is an abort and
// a wait.
#ifndef MORVANE_HOST_SERVICES_THREAD_GROUPS_H
#define MORVANE_HOST_SERVICES_THREAD_GROUPS_H

#include "services/mutex_bank.h"

#include <lwmtutil.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace host {

class ThreadGroup;

// One thread function of a group; its address is the thread's LWMTThreadID.
// The members a running function changes for itself (argument, index, data)
// are atomic, as other threads read them through its ID.
struct GroupThread {
    ThreadGroup* group;
    LWMTThreadFunc func;
    int flags;
    std::atomic<void*> arg;
    std::atomic<int> index;
    std::atomic<void*> data{nullptr};
};

class ThreadGroup {
  public:
    // Groups larger than this are refused as a caller's mistake.
    static constexpr int kMaxThreads = 1024;

    explicit ThreadGroup(int capacity);
    // Waits for a run in progress; the threads are never cut short.
    ~ThreadGroup();
    ThreadGroup(const ThreadGroup&) = delete;
    ThreadGroup& operator=(const ThreadGroup&) = delete;

    // The thread function running on the calling thread, or null outside
    // every group's threads.
    static GroupThread* current();

    // Null when the group is full, func is null or a run is in progress.
    // flags are kept but change nothing here.
    GroupThread* add(LWMTThreadFunc func, int flags, void* arg);
    GroupThread* thread(int index) const;
    int count() const;

    // Starts every added function on its own thread and returns at once.
    // False while a run is in progress, from one of the group's own threads,
    // or when the system gives no more threads.
    // A new run clears the abort flag and the results.
    bool begin();
    // Waits until the run ends (at once when none is in progress). From one
    // of the group's own threads it returns at once, as it could never end.
    void sync();
    // True when no run is in progress or the run ends within timeoutMs.
    bool wait(unsigned int timeoutMs);
    void abort() { aborted_.store(true); }
    bool aborted() const { return aborted_.load(); }
    // True when no run is in progress.
    bool done() const;
    // The value the function at index returned in the last run that it
    // finished; 0 before that or for an index out of range.
    int result(int index) const;
    // True when the calling thread is one of this group's.
    bool ownsCallingThread() const;

    MutexBank& mutexes() { return mutexes_; }

  private:
    void runOne(GroupThread& thread, int slot);

    const int capacity_;
    std::vector<std::unique_ptr<GroupThread>> threads_;
    std::vector<int> results_;
    std::atomic<bool> aborted_{false};
    MutexBank mutexes_;

    mutable std::mutex stateMutex_; // running_, results_
    std::condition_variable finished_;
    int running_ = 0;

    std::mutex joinMutex_; // workers_
    std::vector<std::thread> workers_;
};

} // namespace host

#endif
