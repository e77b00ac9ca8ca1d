#pragma once
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/index/index_filter.h"
#include "engine/query/compiled_query.h"
#include "engine/search/folder_cache.h"
#include "engine/search/search_run.h"

namespace vsr::engine {

// Passes over the files a content index shows can't match a run's query; every other file is
// searched as without the index. A file is passed over only when the index knows its text, the
// file is exactly the one it read (device, inode, size and both times), and the text lacks
// what the query needs. Shared by every thread of a run.
class IndexSkip {
public:
    // `root`: the folder the run walks, as it names it; `view` the index of that folder.
    IndexSkip(const index::IndexView& view, std::string root) : view_(view), root_(std::move(root)) {}
    ~IndexSkip();

    // Folder listings are kept in `file` (index::listingsFileFor the index's file): a run the
    // index narrows takes an unchanged folder's listing from there instead of reading it.
    void useListings(std::string file) { listingsFile_ = std::move(file); }

    // Looks up what `query` needs, before the walk; false when the index can pass over nothing
    // for it (a run that opens archives reads members the index does not know).
    bool prepare(const CompiledQuery& query, bool opensArchives);
    // Whether the file `name` of `dir` (a listed file whose information may be loaded) can't
    // match. A file the index does not know, or knows in another state, is noted as changed.
    bool passesOver(SearchRun& run, const std::string& dir, platform::DirEntry& entry);
    // The walk's shortcut of the run prepare() prepared, or null (no listings, or the index
    // narrows nothing).
    WalkShortcut* shortcut() { return folders_.get(); }
    // After the run: stores the listings its walk read (see FolderCache::saveListings).
    bool saveListings() { return folders_ && folders_->saveListings(); }
    const FolderCache* folders() const { return folders_.get(); }

    // Files found new or changed since the index was made, and whether the index was found
    // damaged: either way it should be made again.
    bool stale() const { return changed_.load() > 0 || damaged_; }
    std::uint64_t changedFiles() const { return changed_.load(); }
    std::uint64_t passedOver() const { return passed_.load(); }
    bool damaged() const { return damaged_; }
    std::size_t candidates() const { return filter_ ? filter_->candidates() : view_.fileCount(); }

private:
    const index::IndexView& view_;
    std::string root_;
    std::unique_ptr<index::IndexFilter> filter_;
    std::string listingsFile_;
    std::unique_ptr<FolderCache> folders_;
    bool damaged_ = false;
    std::atomic<std::uint64_t> changed_{0};
    std::atomic<std::uint64_t> passed_{0};
};

// The matcher of a run with an index: files the index passes over never reach `inner`.
class IndexedMatcher final : public ContentMatcher {
public:
    IndexedMatcher(SearchRun& run, IndexSkip& skip, std::unique_ptr<ContentMatcher> inner)
        : run_(run), skip_(skip), inner_(std::move(inner)) {}
    void matchFile(const std::string& dir, platform::DirEntry& entry) override {
        if (!skip_.passesOver(run_, dir, entry)) inner_->matchFile(dir, entry);
    }
    void releaseMemory() override { inner_->releaseMemory(); }

private:
    SearchRun& run_;
    IndexSkip& skip_;
    std::unique_ptr<ContentMatcher> inner_;
};

}  // namespace vsr::engine
