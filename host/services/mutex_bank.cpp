#include "services/mutex_bank.h"

namespace host {

MutexBank::~MutexBank() {
    const std::thread::id self = std::this_thread::get_id();
    for (Slot& slot : slots_) {
        if (slot.owner.load() == self) {
            slot.owner.store(std::thread::id());
            slot.mutex.unlock();
        } else {
            // A std::mutex must not be destroyed while locked.
            std::lock_guard<std::mutex> wait(slot.mutex);
        }
    }
}

bool MutexBank::lock(int id) {
    if (id < 0 || id >= LWMT_MUTEX_COUNT) return false;
    Slot& slot = slots_[id];
    const std::thread::id self = std::this_thread::get_id();
    if (slot.owner.load() == self) return false;
    slot.mutex.lock();
    slot.owner.store(self);
    return true;
}

bool MutexBank::unlock(int id) {
    if (id < 0 || id >= LWMT_MUTEX_COUNT) return false;
    Slot& slot = slots_[id];
    if (slot.owner.load() != std::this_thread::get_id()) return false;
    slot.owner.store(std::thread::id());
    slot.mutex.unlock();
    return true;
}

} // namespace host
