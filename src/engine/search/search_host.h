#pragma once
#include <string>
#include <vector>

#include "engine/search/run_control.h"
#include "engine/search/search_sink.h"
#include "results/result_list.h"

namespace vsr::engine {

// Every modal message box goes through this, so tests and command-line runs answer it
// without a screen.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void messageBox(const std::string& caption, const std::string& text, MessageIcon icon) = 0;
};

// The bundle the window and the tools implement: the sink for what a run reports, the run
// control, the prompter for its messages and the result list the rows go to. The engine's
// producers take the sink, the control and the list on their own; this only saves a caller
// that is all of them from naming each.
class SearchHost : public SearchSink, public RunControl {
public:
    virtual Prompter& prompter() = 0;
    virtual results::ResultList& results() = 0;

    void messageBox(const std::string& caption, const std::string& text,
                    MessageIcon icon = MessageIcon::Exclamation) {
        message(caption, text, icon);
    }
    void message(const std::string& caption, const std::string& text, MessageIcon icon) override {
        prompter().messageBox(caption, text, icon);
    }
    // Appends the row to results(), keeping its complete count list while the list collects
    // them for a report. A host that shows rows elsewhere as well does so and calls this.
    void rowFound(results::ResultItem row, const std::vector<std::int64_t>& counts) override;
};

// The history-list rule: insert `text` at the top, then drop every later equal item.
void pushHistory(std::vector<std::string>& history, const std::string& text);

}  // namespace vsr::engine
