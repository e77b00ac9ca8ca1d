#pragma once
#include <cstdint>

#include "engine/search/search_host.h"
#include "platform/clock.h"

namespace vsr::engine {

// Lets the window process pending messages when `intervalMs` have passed since it last did.
inline void pumpIfDue(SearchHost& host, platform::Clock& clock, int intervalMs) {
    RunState& s = host.runState();
    const std::int64_t now = clock.tickMs();
    if (now - s.lastPumpMs >= intervalMs) {
        s.lastPumpMs = now;
        host.pumpMessages();
    }
}

}  // namespace vsr::engine
