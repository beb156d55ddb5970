// The handles "MultiThreading Utilities" has given out and not yet taken
// back, each with its kind, so that a null, stale or foreign handle a module
// passes in is refused instead of followed.
#ifndef MORVANE_HOST_SERVICES_LIVE_HANDLES_H
#define MORVANE_HOST_SERVICES_LIVE_HANDLES_H

#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace host {

enum class HandleKind { Mutexes, Group, Thread, ReadWriteLock };

class LiveHandles {
  public:
    void add(const void* handle, HandleKind kind) {
        std::unique_lock<std::shared_mutex> lock(mutex_);
        handles_[handle] = kind;
    }
    // False when the handle was not live (or not of this kind).
    bool remove(const void* handle, HandleKind kind) {
        std::unique_lock<std::shared_mutex> lock(mutex_);
        auto found = handles_.find(handle);
        if (found == handles_.end() || found->second != kind) return false;
        handles_.erase(found);
        return true;
    }
    bool holds(const void* handle, HandleKind kind) const {
        std::shared_lock<std::shared_mutex> lock(mutex_);
        auto found = handles_.find(handle);
        return found != handles_.end() && found->second == kind;
    }

  private:
    mutable std::shared_mutex mutex_;
    std::unordered_map<const void*, HandleKind> handles_;
};

} // namespace host

#endif
