// The locks behind a "MultiThreading Utilities" mutex object and a thread
// group: LWMT_MUTEX_COUNT locks addressed by id. Each lock knows the thread
// holding it, so a module's unlock of a lock it does not hold, or a second
// lock by the holder (which would deadlock), is refused instead of undefined.
#ifndef MORVANE_HOST_SERVICES_MUTEX_BANK_H
#define MORVANE_HOST_SERVICES_MUTEX_BANK_H

#include <lwmtutil.h>

#include <array>
#include <atomic>
#include <mutex>
#include <thread>

namespace host {

class MutexBank {
  public:
    MutexBank() = default;
    // Waits for locks other threads hold; releases the caller's own.
    ~MutexBank();
    MutexBank(const MutexBank&) = delete;
    MutexBank& operator=(const MutexBank&) = delete;

    // False for an id outside 0..LWMT_MUTEX_COUNT-1 or a lock the calling
    // thread holds already.
    bool lock(int id);
    // False for an id out of range or a lock the calling thread does not hold.
    bool unlock(int id);

  private:
    struct Slot {
        std::mutex mutex;
        std::atomic<std::thread::id> owner{};
    };
    std::array<Slot, LWMT_MUTEX_COUNT> slots_;
};

} // namespace host

#endif
