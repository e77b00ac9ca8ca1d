#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/search_run.h"
#include "engine/term_scanner.h"

namespace vsr::engine {

// Listing: decide and list the file. Lines: report each line holding an occurrence.
// Counting: only fill the per-term counts.
enum class LineMatchMode { Listing, Lines, Counting };

// Receives the lines of Lines mode. `highlightLink` is the 1-based position of the line in
// the list of highlighted line numbers given to the matcher, or -1.
class FoundLineSink {
public:
    virtual ~FoundLineSink() = default;
    // Returns false when no more lines are wanted (the viewer is full).
    virtual bool foundLine(std::int64_t lineNumber, std::string_view line, int hits, int highlightLink) = 0;
};

// The matcher of Phrase, Words: or, Words: and and Search Engine queries. It searches the
// whole buffer for each term (a term never spans a line end), so lines are only split when
// Lines mode needs them.
class LineMatcher final : public ContentMatcher {
public:
    explicit LineMatcher(SearchRun& run) : run_(run) {}

    void matchFile(const std::string& dir, platform::DirEntry& entry) override;

    // Lines and Counting modes for the Lines Viewer: the terms' counts are filled; in Lines
    // mode every line with an occurrence goes to `sink`. `highlightedLines` ascend. Returns
    // false when the file can't be read or the run was stopped.
    bool scanFile(const std::string& fullName, LineMatchMode mode, FoundLineSink* sink,
                  const std::vector<std::int64_t>& highlightedLines = {});

private:
    // The query-length check; false (and the run stopped) when the query is too long.
    bool checkQuery();
    // Counts every term in `text`; in Listing mode returns false as soon as an Excluded term
    // is found. Also false when the run was stopped meanwhile.
    bool countTerms(std::string_view text, bool listing);
    // One scanner per term, made once per run.
    void prepareScanners();

    SearchRun& run_;
    std::vector<TermScanner> scanners_;
    bool prepared_ = false;
};

}  // namespace vsr::engine
