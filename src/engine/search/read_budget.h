#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace vsr::engine {

// Caps the file data the examining threads hold at once. A thread waits before it reads while
// the others hold the whole budget; a file larger than the budget is read when it is the only
// one held, so it is never refused, only examined alone. Charging and releasing take no lock:
// every file passes here, and only a thread that must wait meets the others at the mutex.
class ReadBudget {
public:
    explicit ReadBudget(std::size_t bytes) : limit_(bytes) {}
    std::size_t limit() const { return limit_; }

    // Returns once there is room, or when `stopped()` says the run is over.
    template <class Stopped>
    void waitForRoom(Stopped stopped) {
        if (!full()) return;
        std::unique_lock lock(mutex_);
        // Counted before the budget is looked at again, so a release that frees room either is
        // seen here or sees this waiter and wakes it (both sides use sequentially consistent
        // operations). The timed wait is a second guard.
        waiters_.fetch_add(1);
        while (full() && !stopped()) room_.wait_for(lock, std::chrono::milliseconds(5));
        waiters_.fetch_sub(1);
    }
    void charge(std::size_t bytes) { held_.fetch_add(bytes); }
    void release(std::size_t bytes) {
        std::size_t held = held_.load(std::memory_order_relaxed);
        while (!held_.compare_exchange_weak(held, bytes < held ? held - bytes : 0)) {
        }
        if (waiters_.load() > 0) {
            // Taking the lock orders this wake after a waiter's last look at the budget.
            { std::lock_guard lock(mutex_); }
            room_.notify_all();
        }
    }

private:
    bool full() const {
        const std::size_t held = held_.load();
        return held >= limit_ && held > 0;
    }

    const std::size_t limit_;
    std::atomic<std::size_t> held_ = 0;
    std::atomic<int> waiters_ = 0;
    std::mutex mutex_;
    std::condition_variable room_;
};

}  // namespace vsr::engine
