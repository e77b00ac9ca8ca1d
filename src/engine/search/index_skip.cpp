#include "engine/search/index_skip.h"

#include "engine/index/index_build.h"

namespace vsr::engine {

IndexSkip::~IndexSkip() = default;

bool IndexSkip::prepare(const CompiledQuery& query, bool opensArchives) {
    folders_.reset();
    filter_.reset();
    if (opensArchives) return false;
    filter_ = std::make_unique<index::IndexFilter>(view_, index::queryNeed(query));
    damaged_ = filter_->damaged();
    if (!filter_->narrows()) filter_.reset();
    if (filter_ && !listingsFile_.empty())
        folders_ = std::make_unique<FolderCache>(view_, *filter_, listingsFile_, passed_);
    return filter_ != nullptr;
}

bool IndexSkip::passesOver(SearchRun& run, const std::string& dir, platform::DirEntry& entry) {
    if (!filter_) return false;
    const std::string& full = run.fullPath(dir, entry.name);
    const std::size_t prefix = root_ == "/" ? 1 : root_.size() + 1;
    if (full.size() <= prefix || full.compare(0, root_.size(), root_) != 0 || (root_ != "/" && full[root_.size()] != '/'))
        return false;
    const std::optional<std::uint32_t> id = view_.find(std::string_view(full).substr(prefix));
    if (!id) {
        changed_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    const index::FileRecord record = view_.record(*id);
    if ((record.flags & index::kTextKnown) == 0) {
        if (record.flags & index::kSettling) changed_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    // A file that may hold the need is searched whatever its state: no look-up for it.
    if (filter_->mayHold(*id)) return false;
    // The information the walk loaded for its filters, else looked up now.
    platform::FileInfo info = entry.info;
    if (!entry.infoLoaded &&
        !run.env().fs.statAt(platform::FileRef{full, full.size() - entry.name.size(), run.folder()}, info))
        return false;
    if (info.kind != platform::EntryKind::File || index::identityOf(info) != record.identity) {
        changed_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    passed_.fetch_add(1, std::memory_order_relaxed);
    return true;
}

}  // namespace vsr::engine
