#include "engine/search/folder_cache.h"

#include <algorithm>
#include <chrono>
#include <unordered_map>

#include "engine/index/index_build.h"
#include "engine/search/file_filters.h"
#include "engine/search/search_run.h"
#include "engine/search/walk_filters.h"

namespace vsr::engine {
namespace {

// Checking a folder waits on the disk when the cache is cold: more threads than processors keep
// more of those waits under way at once, and cost little when nothing is waited for.
int folderCheckingThreads() {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return std::clamp(4 * cores, 2, 32);
}

std::int64_t listingNanosOf(platform::FileTime t) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

std::string_view storedParentOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

std::string_view storedLastName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

FolderCache::FolderCache(const index::IndexView& view, const index::IndexFilter& filter, std::string file,
                         std::atomic<std::uint64_t>& passed)
    : view_(view), filter_(filter), file_(std::move(file)), passed_(passed) {}

FolderCache::~FolderCache() { end(false); }

bool FolderCache::relative(const std::string& dir, std::string& out) const {
    if (dir == root_) {
        out.clear();
        return true;
    }
    const std::size_t at = root_ == "/" ? 1 : root_.size() + 1;
    if (dir.size() <= at || dir.compare(0, root_.size(), root_) != 0 || dir[at - 1] != '/') return false;
    out.assign(dir, at);
    return true;
}

std::string FolderCache::fullName(std::string_view relativePath) const {
    std::string full = root_;
    if (relativePath.empty()) return full;
    if (full.back() != '/') full += '/';
    full += relativePath;
    return full;
}

bool FolderCache::settled(const index::FileIdentity& identity) const {
    return identity.modifiedNs < settledBeforeNs_ && identity.changedNs < settledBeforeNs_;
}

void FolderCache::begin(SearchRun& run, const std::string& root, const WalkFilters& filters) {
    end(false);
    run_ = &run;
    filters_ = &filters;
    root_ = root;
    // A folder changed this shortly before it was looked at may change again unseen by its
    // times: its listing is used this once and not stored.
    settledBeforeNs_ = listingNanosOf(run.env().clock.now()) - index::kSettleNs;
    visits_.clear();
    arena_.clear();
    complete_ = false;
    taken_ = listedCount_ = 0;
    mapped_ = platform::MappedFile::open(file_);
    if (!mapped_ || mapped_->ownerUid() != platform::currentUserId() ||
        !stored_.parse(mapped_->bytes(), root_, platform::currentUserId()))
        stored_.parse({}, root_, 0);
    const std::vector<index::FolderListing>& folders = stored_.folders();
    const std::size_t n = folders.size();
    first_.assign(n, 0);
    std::size_t names = 0;
    for (std::size_t k = 0; k < n; ++k) {
        first_[k] = names;
        names += folders[k].entries.size();
    }
    verdicts_.assign(names, 0);
    valid_.assign(n, 0);
    seen_.assign(n, Seen{});
    state_ = std::make_unique<std::atomic<std::uint8_t>[]>(n);
    for (std::size_t k = 0; k < n; ++k) state_[k].store(kUnchecked, std::memory_order_relaxed);
    cursor_ = 0;
    quit_ = false;
    if (n < 2) return;
    try {
        for (int t = folderCheckingThreads(); t > 0; --t) threads_.emplace_back([this] { checkAhead(); });
    } catch (const std::system_error&) {
        // Fewer threads: the walk checks what none took.
    }
}

void FolderCache::end(bool complete) {
    quit_ = true;
    for (std::thread& t : threads_) t.join();
    threads_.clear();
    complete_ = complete;
}

void FolderCache::checkAhead() {
    const std::size_t n = stored_.folders().size();
    while (!quit_.load(std::memory_order_relaxed) && !run_->stopFlag().load(std::memory_order_relaxed)) {
        const std::size_t k = cursor_.fetch_add(1, std::memory_order_relaxed);
        if (k >= n) return;
        std::uint8_t expected = kUnchecked;
        if (!state_[k].compare_exchange_strong(expected, kChecking, std::memory_order_acq_rel)) continue;
        check(k);
        state_[k].store(kChecked, std::memory_order_release);
        state_[k].notify_all();
    }
}

void FolderCache::ensureChecked(std::size_t k) {
    std::uint8_t seen = kUnchecked;
    if (state_[k].compare_exchange_strong(seen, kChecking, std::memory_order_acq_rel)) {
        check(k);
        state_[k].store(kChecked, std::memory_order_release);
        state_[k].notify_all();
        return;
    }
    while ((seen = state_[k].load(std::memory_order_acquire)) != kChecked) state_[k].wait(seen);
}

void FolderCache::check(std::size_t k) {
    const index::FolderListing& f = stored_.folders()[k];
    try {
        platform::FileSystem& fs = run_->env().fs;
        const std::string full = fullName(f.path);
        platform::FileInfo info;
        // The top folder is opened through a link; a folder below never is.
        Seen& seen = seen_[k];
        const std::unique_ptr<platform::FolderLookup> lookup = fs.openLookup(full, f.path.empty(), info);
        seen.ok = lookup && info.kind == platform::EntryKind::Directory;
        if (seen.ok) seen.identity = index::identityOf(info);
        if (!seen.ok || seen.identity != f.identity) return;
        valid_[k] = 1;
        const SearchConditions& c = run_->conditions();
        std::string rel, name;
        for (std::size_t i = 0; i < f.entries.size(); ++i) {
            const index::ListedName& e = f.entries[i];
            if (e.kind != platform::EntryKind::File) continue;
            // Only files the walk hands over are worth a look.
            if (skippedAsBackup(c, e.name) || filters_->fileIgnored(e.name) || !run_->masks().matchesName(e.name))
                continue;
            rel.assign(f.path);
            if (!rel.empty()) rel += '/';
            rel += e.name;
            const std::optional<std::uint32_t> id = view_.find(rel);
            if (!id) continue;
            const index::FileRecord record = view_.record(*id);
            if ((record.flags & index::kTextKnown) == 0 || filter_.mayHold(*id)) continue;
            name.assign(e.name);
            if (lookup->statEntry(name, info) && info.kind == platform::EntryKind::File &&
                index::identityOf(info) == record.identity)
                verdicts_[first_[k] + i] = 1;
        }
    } catch (const std::bad_alloc&) {
        // Nothing is taken from a folder half checked.
        valid_[k] = 0;
        seen_[k].ok = false;
        std::fill_n(verdicts_.begin() + static_cast<std::ptrdiff_t>(first_[k]), f.entries.size(), 0);
    }
}

int FolderCache::storedListing(const std::string& dir, bool top, std::vector<platform::DirEntry>& out) {
    pending_ = {};
    std::string rel;
    if (!run_ || !relative(dir, rel)) return -1;
    if (top != rel.empty()) return -1;
    const int k = stored_.find(rel);
    if (k >= 0) {
        ensureChecked(static_cast<std::size_t>(k));
        if (valid_[k]) {
            const index::FolderListing& f = stored_.folders()[k];
            // The entries' strings keep their room from the folder listed here before.
            out.resize(f.entries.size());
            for (std::size_t i = 0; i < out.size(); ++i) {
                platform::DirEntry& e = out[i];
                e.name.assign(f.entries[i].name);
                e.kind = f.entries[i].kind;
                e.infoLoaded = false;
                e.viaLink = false;
            }
            Visit& v = visits_.emplace_back();
            v.stored = k;
            v.path = f.path;
            ++taken_;
            return k;
        }
        pending_ = seen_[k];
        return -1;
    }
    // Not stored: what it is now, looked at before it is listed, so a change while it is listed
    // shows next time.
    platform::FileInfo info;
    pending_.ok = run_->env().fs.statByName(dir, top, info) && info.kind == platform::EntryKind::Directory;
    if (pending_.ok) pending_.identity = index::identityOf(info);
    return -1;
}

void FolderCache::listed(const std::string& dir, const std::vector<platform::DirEntry>& entries) {
    std::string rel;
    if (!run_ || !relative(dir, rel)) return;
    ++listedCount_;
    Visit& v = visits_.emplace_back();
    v.path = arena_.emplace_back(std::move(rel));
    v.identity = pending_.identity;
    // A link's kind is that of what it names, which may change with the folder untouched.
    v.kept = pending_.ok && settled(pending_.identity) &&
             std::none_of(entries.begin(), entries.end(), [](const platform::DirEntry& e) { return e.viaLink; });
    v.names.reserve(entries.size());
    for (const platform::DirEntry& e : entries) v.names.push_back({arena_.emplace_back(e.name), e.kind});
    pending_ = {};
}

bool FolderCache::passesOver(int folder, std::size_t i) {
    if (!verdicts_[first_[static_cast<std::size_t>(folder)] + i]) return false;
    passed_.fetch_add(1, std::memory_order_relaxed);
    return true;
}

bool FolderCache::saveListings() {
    if (!complete_) return false;
    const std::vector<index::FolderListing>& folders = stored_.folders();
    std::unordered_map<std::string_view, std::size_t> visited;
    std::vector<std::uint8_t> storedVisited(folders.size(), 0);
    for (std::size_t v = 0; v < visits_.size(); ++v) {
        visited.emplace(visits_[v].path, v);
        if (visits_[v].stored >= 0) storedVisited[static_cast<std::size_t>(visits_[v].stored)] = 1;
    }
    auto namesOf = [&](const Visit& v) -> std::span<const index::ListedName> {
        if (v.stored >= 0) return folders[static_cast<std::size_t>(v.stored)].entries;
        return v.names;
    };
    std::vector<index::FolderListing> out;
    bool changed = false;
    for (const Visit& v : visits_) {
        if (v.stored >= 0) out.push_back(folders[static_cast<std::size_t>(v.stored)]);
        else if (v.kept) out.push_back({v.path, v.identity, v.names}), changed = true;
    }
    // A folder this walk did not visit stays stored while its parent was not walked either (the
    // run's filters left it out) or still holds it; one gone from its parent goes.
    for (std::size_t k = 0; k < folders.size(); ++k) {
        if (storedVisited[k]) continue;
        const index::FolderListing& f = folders[k];
        bool keep = !f.path.empty();
        if (keep) {
            const auto parent = visited.find(storedParentOf(f.path));
            if (parent != visited.end()) {
                const auto names = namesOf(visits_[parent->second]);
                const std::string_view name = storedLastName(f.path);
                keep = std::any_of(names.begin(), names.end(), [&](const index::ListedName& e) {
                    return e.kind == platform::EntryKind::Directory && e.name == name;
                });
            }
        }
        // A folder listed again this run replaces its stored listing.
        if (keep && visited.count(f.path)) keep = false;
        if (keep) out.push_back(f);
        else changed = true;
    }
    if (!changed) return false;
    const std::string bytes = index::writeListings(root_, platform::currentUserId(), out);
    const std::size_t slash = file_.rfind('/');
    if (slash != std::string::npos && slash > 0 && !platform::makeFolders(file_.substr(0, slash))) return false;
    return platform::replaceFileWhole(file_, bytes);
}

}  // namespace vsr::engine
