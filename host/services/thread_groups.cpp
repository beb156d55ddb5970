#include "services/thread_groups.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <exception>

namespace host {

namespace {

thread_local GroupThread* currentThread = nullptr;

} // namespace

ThreadGroup::ThreadGroup(int capacity) : capacity_(capacity) {
    threads_.reserve(std::size_t(capacity));
    results_.reserve(std::size_t(capacity));
}

ThreadGroup::~ThreadGroup() {
    sync();
}

GroupThread* ThreadGroup::current() {
    return currentThread;
}

GroupThread* ThreadGroup::add(LWMTThreadFunc func, int flags, void* arg) {
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!func || running_ > 0 || int(threads_.size()) >= capacity_) return nullptr;
    auto thread = std::make_unique<GroupThread>();
    thread->group = this;
    thread->func = func;
    thread->flags = flags;
    thread->arg.store(arg);
    thread->index.store(int(threads_.size()));
    threads_.push_back(std::move(thread));
    results_.push_back(0);
    return threads_.back().get();
}

GroupThread* ThreadGroup::thread(int index) const {
    std::lock_guard<std::mutex> lock(stateMutex_);
    return index >= 0 && index < int(threads_.size()) ? threads_[std::size_t(index)].get()
                                                      : nullptr;
}

int ThreadGroup::count() const {
    std::lock_guard<std::mutex> lock(stateMutex_);
    return int(threads_.size());
}

bool ThreadGroup::begin() {
    // A run started from inside the group would wait on itself.
    if (ownsCallingThread()) return false;
    std::lock_guard<std::mutex> join(joinMutex_);
    std::size_t count = 0;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        if (running_ > 0) return false;
        count = threads_.size();
        std::fill(results_.begin(), results_.end(), 0);
        running_ = int(count);
    }
    // The last run's threads have finished their functions; let them exit.
    for (std::thread& worker : workers_)
        worker.join();
    workers_.clear();
    aborted_.store(false);
    for (std::size_t i = 0; i < count; ++i) {
        try {
            workers_.emplace_back(&ThreadGroup::runOne, this, std::ref(*threads_[i]), int(i));
        } catch (const std::exception&) {
            // The system gave no more threads: the functions not started
            // count as finished, and the caller hears of the failure.
            {
                std::lock_guard<std::mutex> lock(stateMutex_);
                running_ -= int(count - i);
            }
            finished_.notify_all();
            return false;
        }
    }
    return true;
}

void ThreadGroup::runOne(GroupThread& thread, int slot) {
    currentThread = &thread;
    int result = thread.func(thread.arg.load());
    currentThread = nullptr;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        results_[std::size_t(slot)] = result;
        --running_;
    }
    finished_.notify_all();
}

void ThreadGroup::sync() {
    if (ownsCallingThread()) return;
    std::lock_guard<std::mutex> join(joinMutex_);
    for (std::thread& worker : workers_)
        worker.join();
    workers_.clear();
}

bool ThreadGroup::wait(unsigned int timeoutMs) {
    std::unique_lock<std::mutex> lock(stateMutex_);
    if (ownsCallingThread()) return running_ == 0;
    return finished_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this] { return running_ == 0; });
}

bool ThreadGroup::done() const {
    std::lock_guard<std::mutex> lock(stateMutex_);
    return running_ == 0;
}

int ThreadGroup::result(int index) const {
    std::lock_guard<std::mutex> lock(stateMutex_);
    return index >= 0 && index < int(results_.size()) ? results_[std::size_t(index)] : 0;
}

bool ThreadGroup::ownsCallingThread() const {
    return currentThread && currentThread->group == this;
}

} // namespace host
