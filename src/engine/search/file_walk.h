#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/search/search_run.h"

namespace vsr::engine {

// Hands the files of a run to the matcher: the recursive directory walk with its ignore lists
// and filters, or the walk over the results snapshot.
class FileWalk {
public:
    FileWalk(SearchRun& run, ContentMatcher& matcher);

    void walkDirectory(const std::string& dir);
    void walkResults(const std::vector<std::string>& snapshot);

private:
    bool directoryIgnored(const std::string& dir) const;
    bool fileIgnored(std::string_view name) const;
    // Size and date filters; loads the entry's information only when one of them is on.
    bool passesInfoFilters(const std::string& dir, platform::DirEntry& entry);
    void examine(const std::string& dir, platform::DirEntry& entry);

    SearchRun& run_;
    ContentMatcher& matcher_;
    std::vector<CompiledMask> dirMasks_;
    std::vector<FileNameMask> fileIgnoreMasks_;
    platform::FileTime now_;
};

}  // namespace vsr::engine
