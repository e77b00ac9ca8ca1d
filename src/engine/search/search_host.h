#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/query/search_conditions.h"
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

// The fields whose text a run writes back or records in a history list.
enum class HistoryField { Path, Masks, FindText, SearchText, ReplaceText };

// What the window shows after a search (its steps after the walk).
struct RunSummary {
    Tab tab = Tab::Find;
    std::size_t rows = 0;
    long long foundFiles = 0;
    bool stopped = false;
    bool forReport = false;
};

// A file a run left out although it passed the filters, and why (it reads "it is ...").
struct UnsearchedFile {
    std::string path;
    std::string reason;
};

// The message that names the files a run left out: the reason of the first, then up to
// `shown` names, one a line.
std::string unsearchedText(const std::vector<UnsearchedFile>& files, std::size_t shown = 20);

// Status bar panels.
inline constexpr int kCountPanel = 0;
inline constexpr int kPathPanel = 1;
inline constexpr int kBackupPanel = 2;

// Everything a run needs from outside the engine: the window implements it, tools and tests
// implement it without a screen. The engine never calls the window any other way.
class SearchHost : public SearchSink {
public:

    // Lets the window process pending messages (Stop, repainting); called at most every 15 ms.
    virtual void pumpMessages() = 0;
    virtual Prompter& prompter() = 0;
    void messageBox(const std::string& caption, const std::string& text,
                    MessageIcon icon = MessageIcon::Exclamation) {
        message(caption, text, icon);
    }
    void message(const std::string& caption, const std::string& text, MessageIcon icon) override {
        prompter().messageBox(caption, text, icon);
    }

    virtual RunState& runState() = 0;
    virtual results::ResultList& results() = 0;

    // Appends the row to results(), keeping its complete count list while the list collects
    // them for a report. A host that shows rows elsewhere as well does so and calls this.
    void rowFound(results::ResultItem row, const std::vector<std::int64_t>& counts) override;
    // Begin-of-run state of the tab: disable the controls that feed the conditions, show the
    // list; the engine has already emptied the list and set its columns.
    virtual void beginRun(Tab tab) {}
    // End-of-run state of the tab: enable the controls again.
    virtual void endRun(Tab tab) {}
    virtual void setBusyAnimation(bool on) {}
    // The run normalized a field (trimmed path, "; "-joined masks): show `text` in it.
    virtual void fieldNormalized(HistoryField field, const std::string& text) {}
    // The run used `text` in `field`: put it at the top of its history list (see pushHistory).
    virtual void historyUsed(HistoryField field, const std::string& text) {}
    // The search finished and the list holds its rows: enable the list commands that apply.
    virtual void searchFinished(const RunSummary& summary) {}
    // After the walk, when it left out files that passed the filters (too large for the query):
    // one message box names them, so no file is passed over without a word.
    virtual void filesNotSearched(const std::vector<UnsearchedFile>& files) {
        messageBox(kProgramTitle, unsearchedText(files), MessageIcon::Exclamation);
    }
    // A regular-expression error at `position` (1-based) of the tab's multi-line query field:
    // after the end-of-run state, focus that field and select the one character there.
    virtual void selectExpressionCharacter(Tab tab, int position) {}
};

// The history-list rule: insert `text` at the top, then drop every later equal item.
void pushHistory(std::vector<std::string>& history, const std::string& text);

}  // namespace vsr::engine
