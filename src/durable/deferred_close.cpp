#include "durable/deferred_close.h"

#include <system_error>
#include <unistd.h>

namespace vsr::durable {

DeferredClose::~DeferredClose() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    queued_.notify_all();
    for (std::thread& t : workers_) t.join();
    // Without a thread (none could be started) the handles are closed here.
    for (int fd : fds_) ::close(fd);
}

void DeferredClose::close(int fd) {
    if (fd < 0) return;
    std::unique_lock lock(mutex_);
    if (workers_.size() < static_cast<std::size_t>(threads_) && fds_.size() >= workers_.size()) {
        try {
            workers_.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
        }
    }
    if (workers_.empty()) {
        lock.unlock();
        ::close(fd);
        return;
    }
    taken_.wait(lock, [&] { return fds_.size() < kQueued; });
    fds_.push_back(fd);
    lock.unlock();
    queued_.notify_one();
}

void DeferredClose::drain() {
    std::unique_lock lock(mutex_);
    taken_.wait(lock, [&] { return fds_.empty() && closing_ == 0; });
}

void DeferredClose::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [&] { return quit_ || !fds_.empty(); });
        if (fds_.empty()) return;
        const int fd = fds_.front();
        fds_.pop_front();
        ++closing_;
        lock.unlock();
        ::close(fd);
        lock.lock();
        --closing_;
        taken_.notify_all();
    }
}

}  // namespace vsr::durable
