#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/search/search_host.h"
#include "engine/search/search_run.h"
#include "engine/viewer/lines_viewer_content.h"

namespace vsr::engine {

// Which row's file to show: its folder (no trailing "/"), its name and its row index.
struct FillRequest {
    std::string dir;
    std::string name;
    long long row = -1;
    FillPurpose purpose = FillPurpose::Browse;
};

enum class FillEnd {
    Done,          // the file was matched to its end (or only its information was refreshed)
    StopPending,   // Stop was pressed before the fill began: the flag was cleared, nothing shown
    Stopped,       // Stop, or a read failure, ended the fill; the entries made so far stay
    Superseded,    // Browse only: another row was selected meanwhile
    NotFound,      // the file could not be opened; the row reads "Not Found"
    QueryRefused,  // the query or one of its lines is too long (or malformed); Found emptied
    RegExprError,  // the expression failed to compile or to run; reported, stop flag set
};

struct FillResult {
    FillEnd end = FillEnd::Done;
    FillPurpose purpose = FillPurpose::Browse;  // InfoOnly when the list has no Found column
    std::vector<std::int64_t> counts;            // per term; one count for Multiline and Reg Expr
    std::string found;                           // the Found value written to the row
};

// What a fill tells the window besides what goes to the sink. Every call has a no-op
// default, so silent callers (modification, undo, reports, tools) pass nothing.
class FillEvents {
public:
    virtual ~FillEvents() = default;
    // Browse: enter the running state of the active tab. Other purposes: put Undo aside.
    virtual void fillStarting(FillPurpose) {}
    // Leave the running state; for Browse and Info only enable the commands on lines.
    virtual void fillEnded(const FillResult&) {}
    // New entries were added (called before each pump and at the end), so the view can grow.
    virtual void entriesAdded() {}
    // A regular-expression error at 1-based `position` of the active tab's expression field.
    virtual void selectExpressionCharacter(Tab, int /*position*/) {}
};

// Fills `content` for one row: re-reads the file, matches it with the query of
// `conditions` (its tab is the active tab), records the entries with their highlights and
// refreshes the row's Found value and file information in `list`. Runs on the caller's thread
// and pumps messages through `control`; Stop (the run state's stop flag) ends it. Messages and
// the busy indicator go to `sink`.
FillResult FillLinesViewer(const SearchConditions& conditions, SearchEnv env, SearchSink& sink, RunControl& control,
                           results::ResultList& list, LinesViewerContent& content, const FillRequest& request,
                           FillEvents* events = nullptr);
// For a caller that is sink, run control and list owner in one.
inline FillResult FillLinesViewer(const SearchConditions& conditions, SearchEnv env, SearchHost& host,
                                  LinesViewerContent& content, const FillRequest& request,
                                  FillEvents* events = nullptr) {
    return FillLinesViewer(conditions, env, host, host, host.results(), content, request, events);
}

// The message of a Not Found file: "File " + full name + " not found".
std::string fileNotFoundText(const std::string& fullName);

}  // namespace vsr::engine
