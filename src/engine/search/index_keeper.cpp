#include "engine/search/index_keeper.h"

#include <utility>

namespace vsr::engine {
namespace {

// Files changed this long ago are settled: indexed now, their texts are kept.
constexpr auto kQuiet = std::chrono::nanoseconds(index::kSettleNs) + std::chrono::milliseconds(100);

std::string runRoot(std::string path) {
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

IndexKeeper::IndexKeeper(platform::FileSystem& fs, platform::Clock& clock, std::unique_ptr<platform::TreeWatch> watch)
    : fs_(fs), clock_(clock), watch_(std::move(watch)) {}

IndexKeeper::~IndexKeeper() {
    stop_ = true;
    waitForRefresh();
}

void IndexKeeper::waitForRefresh() {
    if (worker_.joinable()) worker_.join();
}

void IndexKeeper::setStatus(std::string text) {
    std::lock_guard lock(statusMutex_);
    status_ = std::move(text);
}

std::string IndexKeeper::takeStatus() {
    std::lock_guard lock(statusMutex_);
    return std::exchange(status_, {});
}

IndexSkip* IndexKeeper::beforeRun(const SearchConditions& c) {
    skip_.reset();
    const std::string root = runRoot(c.path);
    const TextReading reading = TextReading::of(c);
    const bool sameFolder = store_ && root == root_ && store_->scope().textEncoding == reading.textEncoding &&
                            store_->scope().fallback == reading.fallback;
    if (!sameFolder) {
        // Another folder or encoding: its own index, checked again after this run.
        reader_.reset();
        store_ = index::IndexStore::forRoot(root, reading);
        root_ = root;
        checkDue_ = true;
        buildDue_ = false;
        changesSeen_ = false;
        watching_ = watch_ && store_ && watch_->watch(store_->scope().root);
    }
    if (!store_) return nullptr;
    // A refresh that finished since the index was opened put a new one in its place.
    if (reader_ && readerGeneration_ != generation_.load()) reader_.reset();
    if (!reader_) {
        index::IndexState state;
        readerGeneration_ = generation_.load();
        reader_ = store_->open(state);
        if (!reader_) {
            buildDue_ = true;
            setStatus(state == index::IndexState::Missing ? "Building the index of the folder"
                                                          : index::rebuildReason(state));
        }
    }
    if (!reader_) return nullptr;
    skip_ = std::make_unique<IndexSkip>(reader_->view(), root_);
    skip_->useListings(index::listingsFileFor(store_->file()));
    return skip_.get();
}

void IndexKeeper::afterRun() {
    if (!store_) return;
    bool due = buildDue_ || checkDue_;
    if (skip_) {
        if (skip_->damaged()) buildDue_ = due = true;
        if (skip_->stale()) due = true;
        skip_->saveListings();
        if (skip_->passedOver() > 0)
            setStatus("Index used: " + std::to_string(skip_->passedOver()) + " files passed over");
    }
    skip_.reset();
    if (due && !running_.load()) startRefresh(buildDue_ || !reader_);
}

void IndexKeeper::poll() {
    if (!watching_ || !store_) return;
    const platform::WatchNews news = watch_->take();
    const auto now = std::chrono::steady_clock::now();
    if (news.any()) {
        changesSeen_ = true;
        lastChange_ = now;
    }
    if (changesSeen_ && !running_.load() && now - lastChange_ >= kQuiet) startRefresh(buildDue_);
}

void IndexKeeper::startRefresh(bool whole) {
    waitForRefresh();  // a finished one: running_ is false
    checkDue_ = false;
    buildDue_ = false;
    changesSeen_ = false;
    running_ = true;
    const index::IndexStore store = *store_;
    worker_ = std::thread([this, store, root = root_, whole] {
        index::BuildCounts made;
        const bool written = whole ? store.rebuild(fs_, clock_, root, &made, &stop_)
                                   : store.refresh(fs_, clock_, root, &made, &stop_);
        if (stop_.load()) {
            // The window is closing: nothing was written, nothing to say.
        } else if (!written) {
            setStatus("The index could not be written to " + store.file());
        } else if (whole) {
            setStatus("Index built: " + std::to_string(made.files) + " files");
        } else if (made.files != made.kept) {
            setStatus("Index refreshed: " + std::to_string(made.files - made.kept) + " files read again");
        }
        generation_.fetch_add(1);
        running_ = false;
    });
}

}  // namespace vsr::engine
