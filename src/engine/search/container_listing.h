#pragma once
#include <memory>
#include <string>

#include "containers/read_limits.h"
#include "engine/search/search_run.h"
#include "engine/search/walk_filters.h"

namespace vsr::engine {

// Whether a run opens archives and documents: the option on, and the Find tab (what Modify
// changes must be a file it can rewrite).
inline bool opensContainers(const SearchConditions& c) { return c.searchArchives && c.tab == Tab::Find; }

// Looks into each file the walk hands over: an archive's members are tested against the masks,
// the ignore lists and the size and date filters by their own names, folders, sizes and times,
// and those that pass are matched as files whose paths run through the archive
// ("/data/release.tar.gz/src/main.c"); a document is matched as its text, under its own name;
// any other file goes to `inner` as it is, if it passed the masks and filters itself. What the
// readers say about a member or archive they cut off or passed over is named as a file not
// searched.
class ContainerListing final : public ContentMatcher {
public:
    ContainerListing(SearchRun& run, std::unique_ptr<ContentMatcher> inner, const WalkFilters& filters,
                     const containers::ReadLimits& limits = {});
    void matchFile(const std::string& dir, platform::DirEntry& entry) override;
    void releaseMemory() override { inner_->releaseMemory(); }

    // Matches `bytes` as the content of the file `entry` in `dir` (a member, or a document's text).
    void matchServed(const std::string& dir, platform::DirEntry& entry, std::string_view bytes, TextKind kind);
    bool passesFilters(const std::string& dir, std::string_view name, std::uint64_t size,
                       platform::FileTime lastWrite) const;
    SearchRun& run() { return run_; }

private:
    // The walk hands over files that failed the masks or filters too, in case they are archives.
    bool listedItself(const platform::DirEntry& entry) const;
    void matchDocument(const std::string& dir, platform::DirEntry& entry);

    SearchRun& run_;
    std::unique_ptr<ContentMatcher> inner_;
    const WalkFilters& filters_;
    containers::ReadLimits limits_;
    std::string head_;
    std::string text_;
};

}  // namespace vsr::engine
