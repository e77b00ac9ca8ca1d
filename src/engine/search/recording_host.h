#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/search/search_host.h"

namespace vsr::engine {

// A host without a screen that records what a run told it: message boxes, status texts,
// history and begin/end calls. Used by tests and the command-line tools.
class RecordingHost : public SearchHost, public Prompter {
public:
    struct Message {
        std::string caption;
        std::string text;
        MessageIcon icon;
    };

    void pumpMessages() override { ++pumps; if (onPump) onPump(); }
    bool pumpsMessages() const override { return !windowless; }
    Prompter& prompter() override { return *this; }
    void messageBox(const std::string& caption, const std::string& text, MessageIcon icon) override {
        messages.push_back({caption, text, icon});
    }
    void setStatusText(int panel, const std::string& text) override {
        if (panel >= 0 && panel < 3) status[panel] = text;
    }
    RunState& runState() override { return state; }
    results::ResultList& results() override { return list; }
    void beginRun(Tab) override { ++begins; }
    void endRun(Tab) override { ++ends; }
    void fieldNormalized(HistoryField field, const std::string& text) override {
        if (field == HistoryField::Path) pathField = text;
        if (field == HistoryField::Masks) masksField = text;
    }
    void historyUsed(HistoryField field, const std::string& text) override {
        pushHistory(history[static_cast<int>(field)], text);
    }
    void searchFinished(const RunSummary& s) override { summary = s; }
    void selectExpressionCharacter(Tab, int position) override { selectedCharacter = position; }

    RunState state;
    results::ResultList list;
    std::vector<Message> messages;
    std::string status[3];
    std::vector<std::string> history[5];
    std::string pathField;
    std::string masksField;
    RunSummary summary;
    int pumps = 0;
    int begins = 0;
    int ends = 0;
    int selectedCharacter = 0;  // position of the last regular-expression error selected
    // Called on every pump, so a test can press Stop in the middle of a run.
    std::function<void()> onPump;
    // Like a command-line run's: no window to pump, so one thread works on the caller's.
    bool windowless = false;
};

}  // namespace vsr::engine
