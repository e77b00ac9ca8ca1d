#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/lines_viewer_fill.h"

namespace vsr::engine::lines_viewer {

// The state of one running fill, shared by the three matching modes.
class FillContext {
public:
    FillContext(const SearchConditions& c, SearchEnv env, SearchHost& host, LinesViewerContent& content,
                const FillRequest& request, FillEvents* events);

    const SearchConditions& conditions() const { return conditions_; }
    SearchRun& run() { return run_; }
    SearchHost& host() { return host_; }
    LinesViewerContent& content() { return content_; }
    const platform::CodePage& codePage() const { return run_.codePage(); }
    FillEvents* events() { return events_; }
    FillPurpose purpose() const { return result.purpose; }
    bool foundColumnAbsent() { return host_.results().foundColumnAbsent(); }

    // Lets the window process messages when `intervalMs` have passed; false when the fill must
    // end (Stop was pressed, or for Browse another row was selected), with `result.end` set.
    bool keepGoing(int intervalMs);
    // keepGoing, but reads the clock only every 64th call: cheap enough for every line.
    bool keepGoingEvery(std::uint64_t& counter, int intervalMs) {
        return (++counter & 63) != 0 || keepGoing(intervalMs);
    }
    // Whether the row selected in the results list is still the browsed file.
    bool stillBrowsing();

    // A too long or malformed query: message, no entries, empty Found value.
    void refuseQuery(const std::string& caption, const std::string& text);
    // Folded (upper-cased through the code page) copy of the file when the search ignores
    // case, else the file itself; offsets are the same in both.
    std::string_view comparisonText();

    FillResult result;
    bool ranMatching = false;  // a mode produced counts (else step 8 alone)

private:
    const SearchConditions& conditions_;
    SearchHost& host_;
    LinesViewerContent& content_;
    const FillRequest& request_;
    FillEvents* events_;
    SearchRun run_;
    std::string fullName_;
};

// The matching modes: each fills result.counts and the entries, or sets result.end.
void fillPhraseAndWords(FillContext& ctx);
void fillBlock(FillContext& ctx);
void fillRegExpr(FillContext& ctx);

// The largest line of a multi-line query, and its message on the Find and Search tabs.
inline constexpr std::size_t kMaxQueryLine = 1000;
const char* tooLongLinesText(Tab tab);

}  // namespace vsr::engine::lines_viewer
