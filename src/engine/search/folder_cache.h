#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/index/folder_listings.h"
#include "engine/index/index_filter.h"
#include "engine/search/walk_shortcut.h"
#include "platform/cache_files.h"

namespace vsr::engine {

// The walk's shortcut of a run with a content index. The folders the last walk listed are
// checked again, in the order it visited them, by a few threads ahead of the walk: one stat of
// the folder tells whether its stored listing still holds, and one stat of each of its files
// the index would pass over tells whether the file is still the one indexed. The walk then
// reads no unchanged folder and hands over no file it would only pass over. What the walk
// listed itself is stored for the next run (saveListings).
class FolderCache final : public WalkShortcut {
public:
    // `file`: where the listings are kept; `passed` counts the files passed over.
    FolderCache(const index::IndexView& view, const index::IndexFilter& filter, std::string file,
                std::atomic<std::uint64_t>& passed);
    ~FolderCache() override;
    FolderCache(const FolderCache&) = delete;
    FolderCache& operator=(const FolderCache&) = delete;

    void begin(SearchRun& run, const std::string& root, const WalkFilters& filters) override;
    int storedListing(const std::string& dir, bool top, std::vector<platform::DirEntry>& out) override;
    void listed(const std::string& dir, const std::vector<platform::DirEntry>& entries) override;
    bool passesOver(int folder, std::size_t i) override;
    void end(bool complete) override;

    // Writes what a complete walk learned, when it differs from what was stored; false when
    // nothing was written (nothing new, or the write failed: the next run lists again).
    bool saveListings();
    // Folders whose stored listing the last walk took, and those it listed itself.
    std::size_t foldersTaken() const { return taken_; }
    std::size_t foldersListed() const { return listedCount_; }

private:
    enum : std::uint8_t { kUnchecked, kChecking, kChecked };
    struct Visit {
        int stored = -1;  // the stored folder taken, or -1: listed now
        std::string_view path;
        index::FileIdentity identity;
        std::vector<index::ListedName> names;
        bool kept = false;  // listed now and settled: stored for the next run
    };
    struct Seen {
        bool ok = false;
        index::FileIdentity identity;
    };
    void check(std::size_t k);
    void ensureChecked(std::size_t k);
    void checkAhead();
    // The path of `dir` relative to the root; false when it lies elsewhere.
    bool relative(const std::string& dir, std::string& out) const;
    std::string fullName(std::string_view relativePath) const;
    bool settled(const index::FileIdentity& identity) const;

    const index::IndexView& view_;
    const index::IndexFilter& filter_;
    std::string file_;
    std::atomic<std::uint64_t>& passed_;
    std::unique_ptr<platform::MappedFile> mapped_;
    index::StoredListings stored_;
    std::vector<std::size_t> first_;  // where each stored folder's entries start in verdicts_

    SearchRun* run_ = nullptr;
    const WalkFilters* filters_ = nullptr;
    std::string root_;
    std::int64_t settledBeforeNs_ = 0;
    std::unique_ptr<std::atomic<std::uint8_t>[]> state_;
    std::vector<std::uint8_t> valid_;
    std::vector<Seen> seen_;
    std::vector<std::uint8_t> verdicts_;  // 1: the file is passed over
    std::atomic<std::size_t> cursor_{0};
    std::atomic<bool> quit_{false};
    std::vector<std::thread> threads_;

    Seen pending_;  // the folder storedListing refused, seen before the walk lists it
    std::vector<Visit> visits_;
    std::deque<std::string> arena_;  // the names and paths of the folders listed now
    bool complete_ = false;
    std::size_t taken_ = 0;
    std::size_t listedCount_ = 0;
};

}  // namespace vsr::engine
