#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/query/search_conditions.h"
#include "results/result_item.h"

namespace vsr::engine {

enum class MessageIcon { Exclamation, Warning, Information, Error };

// Status bar panels.
inline constexpr int kCountPanel = 0;
inline constexpr int kPathPanel = 1;
inline constexpr int kBackupPanel = 2;

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

// What a run hands out, in walk order: the rows of matching files as values, the status
// texts, the messages, and the begin and end of the run. The window, vsr-search and tests
// each consume it; the engine never reaches into the consumer's state to deliver a row.
// Everything but rows, status texts and messages has a no-op default, so a consumer that
// shows no controls overrides nothing else.
class SearchSink {
public:
    virtual ~SearchSink() = default;
    // A matching file: its typed row and the count of each query term.
    virtual void rowFound(results::ResultItem row, const std::vector<std::int64_t>& counts) = 0;
    virtual void setStatusText(int panel, const std::string& text) = 0;
    virtual void message(const std::string& caption, const std::string& text, MessageIcon icon) = 0;

    // Begin-of-run state of the tab: disable the controls that feed the conditions, show the
    // list; the engine has already emptied the list and set its columns.
    virtual void beginRun(Tab) {}
    // End-of-run state of the tab: enable the controls again.
    virtual void endRun(Tab) {}
    virtual void setBusyAnimation(bool) {}
    // The run normalized a field (trimmed path, "; "-joined masks): show `text` in it.
    virtual void fieldNormalized(HistoryField, const std::string&) {}
    // The run used `text` in `field`: put it at the top of its history list (see pushHistory).
    virtual void historyUsed(HistoryField, const std::string&) {}
    // The search finished and the list holds its rows: enable the list commands that apply.
    virtual void searchFinished(const RunSummary&) {}
    // After the walk, when it left out files that passed the filters (too large for the query):
    // one message names them, so no file is passed over without a word.
    virtual void filesNotSearched(const std::vector<UnsearchedFile>& files) {
        message(kProgramTitle, unsearchedText(files), MessageIcon::Exclamation);
    }
    // A regular-expression error at `position` (1-based) of the tab's multi-line query field:
    // after the end-of-run state, focus that field and select the one character there.
    virtual void selectExpressionCharacter(Tab, int /*position*/) {}
};

}  // namespace vsr::engine
