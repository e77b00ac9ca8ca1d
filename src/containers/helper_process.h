#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace vsr::containers {

// One run of a helper program over untrusted input, as a child process that can be limited and
// killed: what a stage we do not trust in our own process (poppler) runs in.
struct HelperLaunch {
    std::string program;             // the full name; no shell, no PATH
    std::vector<std::string> args;   // after the program's name
    int input = -1;                  // becomes its standard input; every other descriptor is closed
    std::uint64_t outputLimit = 0;   // the bytes of output taken; past them it is killed
    unsigned cpuSeconds = 60;        // processor time, after which the system ends it (SIGXCPU)
    std::uint64_t memoryBytes = 0;   // address space it may take; 0: no limit
};

enum class HelperEnd {
    Exited,      // `code` holds its exit status
    Signalled,   // `code` holds the signal that ended it
    OverLimit,   // wrote more than outputLimit bytes: killed; the output holds the first outputLimit
    Stopped,     // the stop flag was set: killed
    NotStarted,  // `error` says why
};

struct HelperResult {
    HelperEnd end = HelperEnd::NotStarted;
    int code = 0;
    std::string error;
};

// Starts the helper, appends what it writes to `output` and waits for its end. On Stop or past
// the output limit it is killed and reaped at once; it never outlives this call.
HelperResult runHelper(const HelperLaunch& launch, const std::atomic<bool>& stop, std::string& output);

}  // namespace vsr::containers
