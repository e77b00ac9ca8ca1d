#pragma once
#include <cstdint>

#include "engine/search/run_control.h"
#include "platform/clock.h"

namespace vsr::engine {

// Lets the window process pending messages when `intervalMs` have passed since it last did.
inline void pumpIfDue(RunControl& control, platform::Clock& clock, int intervalMs) {
    RunState& s = control.runState();
    const std::int64_t now = clock.tickMs();
    if (now - s.lastPumpMs >= intervalMs) {
        s.lastPumpMs = now;
        control.pumpMessages();
    }
}

}  // namespace vsr::engine
