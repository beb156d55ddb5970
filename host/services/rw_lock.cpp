#include "services/rw_lock.h"

#include <chrono>
#include <mutex>
#include <unordered_map>

namespace host {

namespace {

// How many read locks the calling thread holds, per lock.
thread_local std::unordered_map<const ReadWriteLock*, int> readDepths;

} // namespace

ReadWriteLock::~ReadWriteLock() {
    if (writer()) writeUnlock();
    auto own = readDepths.find(this);
    if (own != readDepths.end()) {
        readDepths.erase(own);
        mutex_.unlock_shared();
    }
    // A std::shared_timed_mutex must not be destroyed while held.
    std::unique_lock<std::shared_timed_mutex> wait(mutex_);
}

int& ReadWriteLock::readDepth() {
    return readDepths[this];
}

bool ReadWriteLock::readLock() {
    if (writer()) return false;
    int& depth = readDepth();
    if (depth == 0) mutex_.lock_shared();
    ++depth;
    return true;
}

bool ReadWriteLock::readLockFor(unsigned int timeoutMs) {
    if (writer()) return false;
    int& depth = readDepth();
    if (depth == 0 && !mutex_.try_lock_shared_for(std::chrono::milliseconds(timeoutMs))) {
        readDepths.erase(this);
        return false;
    }
    ++depth;
    return true;
}

void ReadWriteLock::readUnlock() {
    auto own = readDepths.find(this);
    if (own == readDepths.end()) return;
    if (--own->second == 0) {
        readDepths.erase(own);
        mutex_.unlock_shared();
    }
}

bool ReadWriteLock::writeLock() {
    if (writer() || readDepths.count(this)) return false;
    mutex_.lock();
    writer_.store(std::this_thread::get_id());
    return true;
}

void ReadWriteLock::writeUnlock() {
    if (!writer()) return;
    writer_.store(std::thread::id());
    mutex_.unlock();
}

void ReadWriteLock::writeToRead() {
    if (!writer()) return;
    writeUnlock();
    readLock();
}

} // namespace host
