#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace vsr::durable {

// Closes file descriptors on threads of its own. Closing the last handle of a file that has
// lost its name frees its blocks, which on a file system that discards freed blocks waits on
// the disk for each file; several such closes run at once, and the thread that hands them over
// goes on. At most `kQueued` handles wait, so the process stays far from its limit of open files.
class DeferredClose {
public:
    explicit DeferredClose(int threads = 8) : threads_(threads) {}
    ~DeferredClose();
    DeferredClose(const DeferredClose&) = delete;
    DeferredClose& operator=(const DeferredClose&) = delete;

    // Takes `fd` over; waits only while kQueued handles wait already.
    void close(int fd);
    // Returns once every handle taken over is closed.
    void drain();

    static constexpr std::size_t kQueued = 192;

private:
    void work();

    const int threads_;
    std::mutex mutex_;
    std::condition_variable queued_;  // a handle arrived, or the end
    std::condition_variable taken_;   // a handle was closed
    std::deque<int> fds_;
    std::size_t closing_ = 0;
    bool quit_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace vsr::durable
