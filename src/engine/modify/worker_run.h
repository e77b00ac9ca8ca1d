#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/search/run_control.h"
#include "engine/search/search_sink.h"

namespace vsr::engine {

// A message the engine gave on a worker thread, kept until its row's turn comes on the thread
// that shows messages.
struct HeldMessage {
    std::string caption;
    std::string text;
    MessageIcon icon = MessageIcon::Exclamation;
};

// What a modification worker thread reports to and is steered by: no window to pump, a stop
// flag of its own, and the engine's messages held for the thread that shows them, so the user
// sees them in row order as a single-threaded run shows them.
class WorkerRun final : public SearchSink, public RunControl {
public:
    void rowFound(results::ResultItem, const std::vector<std::int64_t>&) override {}
    void setStatusText(int, const std::string&) override {}
    void message(const std::string& caption, const std::string& text, MessageIcon icon) override {
        messages.push_back({caption, text, icon});
    }
    // Where the engine would let the window process messages: the worker looks at what may
    // stop it from outside.
    void pumpMessages() override {
        if (onPump) onPump();
    }
    RunState& runState() override { return state; }

    RunState state;
    std::vector<HeldMessage> messages;
    std::function<void()> onPump;
};

}  // namespace vsr::engine
