#pragma once
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace vsr::engine {

// Caps the file data the examining threads hold at once. A thread waits before it reads while
// the others hold the whole budget; a file larger than the budget is read when it is the only
// one held, so it is never refused, only examined alone.
class ReadBudget {
public:
    explicit ReadBudget(std::size_t bytes) : limit_(bytes) {}

    // Returns once there is room, or when `stopped()` says the run is over.
    template <class Stopped>
    void waitForRoom(Stopped stopped) {
        std::unique_lock lock(mutex_);
        while (held_ >= limit_ && held_ > 0 && !stopped())
            room_.wait_for(lock, std::chrono::milliseconds(5));
    }
    void charge(std::size_t bytes) {
        std::lock_guard lock(mutex_);
        held_ += bytes;
    }
    void release(std::size_t bytes) {
        {
            std::lock_guard lock(mutex_);
            held_ -= bytes < held_ ? bytes : held_;
        }
        room_.notify_all();
    }

private:
    const std::size_t limit_;
    std::mutex mutex_;
    std::condition_variable room_;
    std::size_t held_ = 0;
};

}  // namespace vsr::engine
