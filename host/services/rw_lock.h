// The reader/writer lock of "MultiThreading Utilities": many readers or one
// writer. It tracks what each thread holds, so a module's mistakes are
// refused instead of undefined: an unlock of what the thread does not hold
// does nothing, a thread's second read lock only counts (and its last
// unlock releases), and a write lock by a thread already holding the lock
// is refused, as it would wait for itself.
#ifndef MORVANE_HOST_SERVICES_RW_LOCK_H
#define MORVANE_HOST_SERVICES_RW_LOCK_H

#include <atomic>
#include <shared_mutex>
#include <thread>

namespace host {

class ReadWriteLock {
  public:
    ReadWriteLock() = default;
    // Releases the calling thread's hold and waits for the other threads'.
    ~ReadWriteLock();
    ReadWriteLock(const ReadWriteLock&) = delete;
    ReadWriteLock& operator=(const ReadWriteLock&) = delete;

    // False when the calling thread holds the write lock.
    bool readLock();
    // Tries for up to timeoutMs; false when it did not get the lock.
    bool readLockFor(unsigned int timeoutMs);
    void readUnlock();
    // False when the calling thread holds the lock already.
    bool writeLock();
    void writeUnlock();
    // Turns the calling thread's write lock into a read lock. The lock is
    // free for a moment in between (a std::shared_timed_mutex cannot
    // downgrade in place), so a waiting writer may come first.
    void writeToRead();

  private:
    int& readDepth();
    bool writer() const { return writer_.load() == std::this_thread::get_id(); }

    std::shared_timed_mutex mutex_;
    std::atomic<std::thread::id> writer_{};
};

} // namespace host

#endif
