#include "engine/search/file_walk.h"

#include <ctime>
#include <new>

#include "containers/container_sniff.h"
#include "engine/search/container_listing.h"
#include "engine/search/file_filters.h"

namespace vsr::engine {

FileWalk::FileWalk(SearchRun& run, FileExaminer& examiner, const WalkFilters& filters)
    : run_(run), examiner_(examiner), filters_(filters), opensArchives_(opensContainers(run.conditions())) {}

bool FileWalk::passesInfoFilters(const std::string& dir, platform::DirEntry& entry,
                                 const platform::FolderHandle* folder) {
    const SearchConditions& c = run_.conditions();
    if (!c.sizeFilter && !c.dateFilter) return true;
    if (!entry.infoLoaded) {
        const std::string& full = run_.fullPath(dir, entry.name);
        if (!run_.env().fs.loadInfo(platform::FileRef{full, full.size() - entry.name.size(), folder}, entry))
            return false;
    }
    return filters_.passesInfo(entry.info.size, entry.info.lastWrite);
}

void matchGuarded(SearchRun& run, ContentMatcher& matcher, const std::string& dir, platform::DirEntry& entry) {
    try {
        matcher.matchFile(dir, entry);
    } catch (const std::bad_alloc&) {
        // A file the memory does not suffice for is passed over as an unreadable one is; the
        // buffers it grew go back before the next file.
        run.releaseBuffers();
        matcher.releaseMemory();
    }
    run.endFile();
}

void InlineExaminer::examine(const SharedFolder& dir, platform::DirEntry& entry, const platform::FolderRef& folder) {
    run_.useFolder(folder.get());
    matchGuarded(run_, matcher_, *dir, entry);
    run_.useFolder(nullptr);
    // Each file's output goes to the host as soon as it is known.
    run_.completeSlot();
}

bool FileWalk::pathStatusDue() {
    // The coarse clock costs a few nanoseconds and no system call; its steps of a few
    // milliseconds are finer than anyone reads a status bar.
    struct timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    const std::int64_t now = static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    if (now < nextPathStatusMs_) return false;
    nextPathStatusMs_ = now + kPathStatusEveryMs;
    return true;
}

void FileWalk::examine(const std::string& dir, SharedFolder& shared, platform::DirEntry& entry,
                       const platform::FolderRef& folder) {
    if (!shared) shared = std::make_shared<const std::string>(dir);
    if (pathStatusDue()) run_.setFileStatus(shared, entry.name);
    examiner_.examine(shared, entry, folder);
}

std::vector<platform::DirEntry>& FileWalk::listingAt(std::size_t depth) {
    while (listings_.size() <= depth) listings_.emplace_back();
    return listings_[depth];
}

std::string& FileWalk::pathAt(std::size_t depth) {
    while (paths_.size() <= depth) paths_.emplace_back();
    return paths_[depth];
}

void FileWalk::walkDirectory(const std::string& dir) {
    std::vector<platform::DirEntry>& entries = listingAt(0);
    platform::FolderRef folder;
    if (run_.conditions().skipGitignored) {
        gitignore_ = std::make_unique<GitignoreWalk>(run_.env().fs, dir);
        if (gitignore_->rootIgnored()) return;
    }
    // The folder the run was given is opened by its name, through a link if it is one.
    if (shortcut_) shortcut_->begin(run_, dir, filters_);
    const int stored = shortcut_ ? shortcut_->storedListing(dir, true, entries) : -1;
    if (stored < 0) {
        if (!run_.env().fs.listFolder(dir, entries, folder)) {
            if (shortcut_) shortcut_->end(false);
            return;
        }
        if (shortcut_) shortcut_->listed(dir, entries);
    }
    if (gitignore_) gitignore_->enter(0, dir, {}, entries, folder.get());
    walkListed(dir, entries, folder, 0, stored);
    if (shortcut_) shortcut_->end(!run_.stopped());
}

void FileWalk::walkListed(const std::string& dir, std::vector<platform::DirEntry>& entries,
                          const platform::FolderRef& folder, std::size_t depth, int stored) {
    const SearchConditions& c = run_.conditions();
    const bool ignored = filters_.directoryIgnored(dir);
    SharedFolder shared;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        platform::DirEntry& entry = entries[i];
        if (run_.stopped()) return;
        if (skippedAsBackup(c, entry.name)) continue;
        if (gitignore_ && entry.kind != platform::EntryKind::Other &&
            gitignore_->ignores(depth, entry.name, entry.kind == platform::EntryKind::Directory))
            continue;
        if (entry.kind == platform::EntryKind::File) {
            if (ignored) continue;
            // The name tests come before the size and date tests: the outcome is the same
            // (all must pass) and names cost no system call.
            if (filters_.fileIgnored(entry.name)) continue;
            const bool listed = run_.masks().matchesName(entry.name) && passesInfoFilters(dir, entry, folder.get());
            if (!listed && !(opensArchives_ && !containers::isDocumentName(entry.name))) continue;
            if (stored >= 0 && listed && shortcut_->passesOver(stored, i)) continue;
            examine(dir, shared, entry, folder);
            if (run_.stopped()) return;
        } else if (entry.kind == platform::EntryKind::Directory) {
            if (!c.includeSubfolders || (ignored && c.ignoreSubfoldersToo)) continue;
            // Each depth has its own name and listing, used again for every folder there.
            std::string& sub = pathAt(depth + 1);
            sub.assign(dir);
            if (sub.empty() || sub.back() != '/') sub += '/';
            sub += entry.name;
            if (pathStatusDue()) run_.setStatusText(kPathPanel, sub);
            std::vector<platform::DirEntry>& subEntries = listingAt(depth + 1);
            platform::FolderRef subFolder;
            // By its name in this folder's handle: the kernel resolves one name, not the path.
            const platform::FileRef ref{sub, sub.size() - entry.name.size(), folder.get()};
            const int subStored = shortcut_ ? shortcut_->storedListing(sub, false, subEntries) : -1;
            bool opened = subStored >= 0;
            if (!opened && (opened = run_.env().fs.listSubfolder(ref, subEntries, subFolder)) && shortcut_)
                shortcut_->listed(sub, subEntries);
            if (opened) {
                if (gitignore_) gitignore_->enter(depth + 1, sub, entry.name, subEntries, subFolder.get());
                walkListed(sub, subEntries, subFolder, depth + 1, subStored);
            }
            if (run_.stopped()) return;
        }
        // Sockets, FIFOs, devices and links to folders are never opened.
    }
}

void FileWalk::walkResults(const std::vector<std::string>& snapshot) {
    const SearchConditions& c = run_.conditions();
    for (const std::string& full : snapshot) {
        platform::DirEntry entry;
        entry.name = platform::fileNamePart(full);
        if (!run_.env().fs.stat(full, entry.info)) {
            // A member of an archive listed before: the examiner finds it inside its archive.
            if (!opensArchives_ || !run_.masks().matchesName(entry.name)) continue;
            if (run_.stopped()) return;
            SharedFolder shared;
            examine(platform::parentPath(full), shared, entry, nullptr);
            continue;
        }
        if (entry.info.kind != platform::EntryKind::File) continue;
        entry.infoLoaded = true;
        if (run_.stopped()) return;
        if (skippedAsBackup(c, entry.name)) continue;
        if (!passesInfoFilters({}, entry, nullptr)) continue;
        if (!run_.masks().matchesName(entry.name)) continue;
        SharedFolder shared;
        examine(platform::parentPath(full), shared, entry, nullptr);
        if (run_.stopped()) return;
    }
}

}  // namespace vsr::engine
