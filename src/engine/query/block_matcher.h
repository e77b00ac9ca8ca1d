#pragma once
#include "engine/search/search_run.h"

namespace vsr::engine {

// The matcher of Multiline queries: whole normalized lines of the file equal to the query's
// lines, counted without overlap.
class BlockMatcher final : public ContentMatcher {
public:
    explicit BlockMatcher(SearchRun& run);
    void matchFile(const std::string& dir, platform::DirEntry& entry) override;

    // Start lines (1-based) of every occurrence in the file; false when unreadable or stopped.
    bool findBlocks(const std::string& fullName, std::vector<std::int64_t>& starts);

private:
    bool checkQuery();
    SearchRun& run_;
    std::vector<std::string> query_;         // normalized query lines
    std::vector<std::string_view> lines_;    // the file's normalized lines, reused between files
};

}  // namespace vsr::engine
