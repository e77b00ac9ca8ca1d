#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/viewer/lines_viewer_fill.h"
#include "platform/file_system.h"

namespace vsr::engine {

struct FillScratch {
    platform::FileBuffer file;  // the file's text as read, cut at its first NUL byte
    std::string decoded;        // where a file in its own encoding is decoded
};

}  // namespace vsr::engine

namespace vsr::engine::lines_viewer {

// The state of one running fill, shared by the three matching modes.
class FillContext {
public:
    FillContext(const SearchConditions& c, SearchEnv env, SearchSink& sink, RunControl& control,
                results::ResultList& list, LinesViewerContent& content, const FillRequest& request,
                FillEvents* events);

    const SearchConditions& conditions() const { return conditions_; }
    SearchEnv& env() { return env_; }
    SearchSink& sink() { return sink_; }
    RunControl& control() { return control_; }
    results::ResultList& list() { return list_; }
    LinesViewerContent& content() { return content_; }
    FillScratch& scratch() { return content_.scratch(); }
    const platform::CodePage& codePage() const { return *codePage_; }
    // Reads the file's text into the scratch buffer (decoded from the file's own encoding when
    // it has one), cut at its first NUL byte.
    platform::ReadStatus readFile();
    // The file's own encoding as readFile found it (empty: the chosen one).
    const std::string& fileEncoding() const { return fileEncoding_; }
    // The file as read.
    std::string_view text() { return scratch().file.view(); }
    FillEvents* events() { return events_; }
    FillPurpose purpose() const { return result.purpose; }
    bool foundColumnAbsent() { return list_.foundColumnAbsent(); }

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

    FillResult result;
    bool ranMatching = false;  // a mode produced counts (else step 8 alone)

private:
    const SearchConditions& conditions_;
    SearchSink& sink_;
    RunControl& control_;
    results::ResultList& list_;
    LinesViewerContent& content_;
    const FillRequest& request_;
    FillEvents* events_;
    SearchEnv env_;
    const platform::CodePage* codePage_;
    std::string fullName_;
    std::string fileEncoding_;
    platform::FileInfo scratchInfo_;
};

// Matches the file with the query of the conditions: fills result.counts and the entries, or
// sets result.end.
void fillMatches(FillContext& ctx);

}  // namespace vsr::engine::lines_viewer
