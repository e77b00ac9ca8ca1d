#pragma once
#include <atomic>
#include <functional>

namespace vsr::engine {

// Runs `read` on a thread of its own while the calling thread goes on asking `keepGoing` (which
// lets the window process Stop and clicks) every few milliseconds. Once keepGoing says no, the
// flag handed to `read` is set and the read is waited for; a reader that tests the flag between
// chunks ends at once. `read` may set the flag itself to end early. True when `read` ran to its
// end, false when keepGoing ended it. An exception of `read` comes out of this call.
bool readWhilePumping(const std::function<void(std::atomic<bool>& ending)>& read,
                      const std::function<bool()>& keepGoing);

}  // namespace vsr::engine
