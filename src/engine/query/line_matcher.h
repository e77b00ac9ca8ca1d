#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/search/search_run.h"
#include "engine/query/term_scanner.h"

namespace vsr::engine {

// The matcher of Phrase, Words: or, Words: and and Search Engine queries. It searches the
// whole buffer for each term: a term never spans a line end, so no line needs splitting.
class LineMatcher final : public ContentMatcher {
public:
    explicit LineMatcher(SearchRun& run) : run_(run) {}

    void matchFile(const std::string& dir, platform::DirEntry& entry) override;

private:
    // The query-length check; false (and the run stopped) when the query is too long.
    bool checkQuery();
    // Counts every term in `text`; with `listing` returns false as soon as an Excluded term is
    // found. Also false when the run was stopped meanwhile.
    bool countTerms(std::string_view text, bool listing);
    // One scanner per term, made once per run.
    void prepareScanners();

    SearchRun& run_;
    std::vector<TermScanner> scanners_;
    bool prepared_ = false;
};

}  // namespace vsr::engine
