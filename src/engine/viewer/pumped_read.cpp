#include "engine/viewer/pumped_read.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace vsr::engine {

namespace {
// Short enough that a pump falls due on time, long enough to cost nothing while waiting.
constexpr std::chrono::milliseconds kPumpedReadPoll{5};
}  // namespace

bool readWhilePumping(const std::function<void(std::atomic<bool>& ending)>& read,
                      const std::function<bool()>& keepGoing) {
    std::atomic<bool> ending = false;
    std::mutex m;
    std::condition_variable cv;
    bool finished = false;
    std::exception_ptr failure;
    std::thread reader([&] {
        try {
            read(ending);
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard<std::mutex> lock(m);
        finished = true;
        cv.notify_one();
    });
    bool whole = true;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m);
            if (cv.wait_for(lock, kPumpedReadPoll, [&] { return finished; })) break;
        }
        if (!keepGoing()) {
            ending = true;
            whole = false;
            break;
        }
    }
    reader.join();
    if (failure) std::rethrow_exception(failure);
    return whole;
}

}  // namespace vsr::engine
