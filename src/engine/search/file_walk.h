#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "engine/search/gitignore_walk.h"
#include "engine/search/search_run.h"
#include "engine/search/walk_filters.h"
#include "engine/search/walk_shortcut.h"

namespace vsr::engine {

// Where the walk sends the files that passed its filters: examined on the walk's own thread,
// or handed to the worker pool. Either way the file's output follows what the walk said
// before it.
class FileExaminer {
public:
    virtual ~FileExaminer() = default;
    // `dir`: the file's folder; `folder`: its handle the walk got with the listing (may be null).
    virtual void examine(const SharedFolder& dir, platform::DirEntry& entry, const platform::FolderRef& folder) = 0;
};

// Hands the files of a run to the examiner: the recursive directory walk with its ignore lists
// and filters, or the walk over the results snapshot.
class FileWalk {
public:
    // `filters` outlives the walk.
    FileWalk(SearchRun& run, FileExaminer& examiner, const WalkFilters& filters);

    // Folder listings and files the walk may take from `shortcut` (null: none); walkDirectory
    // only.
    void useShortcut(WalkShortcut* shortcut) { shortcut_ = shortcut; }
    void walkDirectory(const std::string& dir);
    void walkResults(const std::vector<std::string>& snapshot);

private:
    // Walks the listed folder `dir` at `depth` below the run's folder (0); `stored`: the
    // shortcut's number of the folder when its listing came from there, else -1.
    void walkListed(const std::string& dir, std::vector<platform::DirEntry>& entries,
                    const platform::FolderRef& folder, std::size_t depth, int stored);
    // The listing and the name buffers of a depth; a deque, so those of the folders above
    // stay where they are when a deeper one is added.
    std::vector<platform::DirEntry>& listingAt(std::size_t depth);
    std::string& pathAt(std::size_t depth);
    // Size and date filters; loads the entry's information only when one of them is on.
    bool passesInfoFilters(const std::string& dir, platform::DirEntry& entry, const platform::FolderHandle* folder);
    // `shared` is made from `dir` for the folder's first file and reused for the others.
    void examine(const std::string& dir, SharedFolder& shared, platform::DirEntry& entry,
                 const platform::FolderRef& folder);

    // The path panel names the folder or file the walk is at, but the host shows it only once
    // per pass of its message loop: one status every few milliseconds is all it can use, and
    // one per file would cost every file an event.
    bool pathStatusDue();
    static constexpr std::int64_t kPathStatusEveryMs = 5;

    SearchRun& run_;
    FileExaminer& examiner_;
    std::int64_t nextPathStatusMs_ = 0;
    const WalkFilters& filters_;
    // Files that fail the masks or the size and date filters are still handed over when they
    // may be archives: their members are tested on their own names, sizes and times.
    bool opensArchives_ = false;
    // The ignore files of version control, when the run skips what they ignore.
    std::unique_ptr<GitignoreWalk> gitignore_;
    WalkShortcut* shortcut_ = nullptr;
    std::deque<std::vector<platform::DirEntry>> listings_;
    std::deque<std::string> paths_;
};

// Examines each file on the walk's thread with one matcher: the single-threaded run.
class InlineExaminer final : public FileExaminer {
public:
    InlineExaminer(SearchRun& run, ContentMatcher& matcher) : run_(run), matcher_(matcher) {}
    void examine(const SharedFolder& dir, platform::DirEntry& entry, const platform::FolderRef& folder) override;

private:
    SearchRun& run_;
    ContentMatcher& matcher_;
};

// Runs the matcher on one file; a file the memory does not suffice for is passed over as an
// unreadable one is, and the buffers it grew go back before the next file.
void matchGuarded(SearchRun& run, ContentMatcher& matcher, const std::string& dir, platform::DirEntry& entry);

}  // namespace vsr::engine
