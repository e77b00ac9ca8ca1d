#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/query/search_conditions.h"

namespace vsr::engine {

// The state of the current run, shared between the window (Stop sets the flags) and the engine.
// The stop flags may be set from any thread; the engine tests them between steps.
struct RunState {
    // The flags have a cache line of their own: every thread of a run reads them between
    // steps, and the host writes the fields below for every row.
    alignas(64) std::atomic<bool> stop = false;
    std::atomic<bool> modificationStop = false;
    alignas(64) long long foundFiles = 0;
    std::int64_t lastPumpMs = 0;
    Tab runTab = Tab::Find;
    // While set, the listed files may not be modified (the list no longer matches the conditions).
    bool conditionsChanged = false;
    // Full names of the rows when a "Search in Results" run started, in row order.
    std::vector<std::string> resultsSnapshot;
    // The file ignore list's non-empty lines, trimmed, while "Ignore Files" is on.
    std::vector<std::string> fileIgnoreMasks;
};

// How a run is steered from outside: the run state whose Stop flag every loop tests, and the
// pump that lets the window process pending messages (Stop, repainting), called at most every
// 15 ms by the run's own thread.
class RunControl {
public:
    virtual ~RunControl() = default;
    virtual void pumpMessages() = 0;
    // Whether pumpMessages keeps a window alive. A control without one lets a single-threaded
    // run work on the caller's thread, delivering its output between files, with no thread
    // to hand each batch over to; a window's run keeps its own thread, so that it is pumped
    // while one large file is read or matched.
    virtual bool pumpsMessages() const { return true; }
    virtual RunState& runState() = 0;
};

}  // namespace vsr::engine
