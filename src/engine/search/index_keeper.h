#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "engine/index/index_store.h"
#include "engine/query/search_conditions.h"
#include "engine/search/index_skip.h"
#include "platform/tree_watch.h"

namespace vsr::engine {

// Keeps the content index of the folder a window searches fresh. Before a run it opens the
// index (a search without one runs without it, and the index is built after it); after a run
// that found files changed, or the first run on a folder (the identities are checked again
// then), it brings the index up to date on a thread of its own, reading only the files that
// changed. While a watch runs on the folder, files changed there start such a refresh once they
// have settled. Every call but the refresh's own work comes from one thread (the window's).
class IndexKeeper {
public:
    // `fs` and `clock` serve the refresh thread alone; `watch` (may be null) the folder searched.
    IndexKeeper(platform::FileSystem& fs, platform::Clock& clock, std::unique_ptr<platform::TreeWatch> watch);
    ~IndexKeeper();
    IndexKeeper(const IndexKeeper&) = delete;
    IndexKeeper& operator=(const IndexKeeper&) = delete;

    // The skip a run of `c` should use, or null (no usable index yet). Valid until afterRun().
    IndexSkip* beforeRun(const SearchConditions& c);
    // After the run beforeRun() prepared: starts a refresh when the index was missing, damaged
    // or found stale, or the folder is new to the keeper.
    void afterRun();
    // While no run lasts (a timer's business): takes the watch's news, and starts a refresh once
    // files changed and a second passed without more changes.
    void poll();
    // What the index did since the last call ("" when nothing), for a status text.
    std::string takeStatus();
    bool refreshing() const { return running_.load(); }
    // Refreshes and builds finished so far.
    std::uint64_t refreshes() const { return generation_.load(); }
    // Waits for a refresh under way (tests; the window never waits but to close, and then
    // stops the refresh first).
    void waitForRefresh();

private:
    void startRefresh(bool whole);
    void setStatus(std::string text);

    platform::FileSystem& fs_;
    platform::Clock& clock_;
    std::unique_ptr<platform::TreeWatch> watch_;
    std::optional<index::IndexStore> store_;
    std::string root_;  // the folder as the runs name it
    std::unique_ptr<index::IndexReader> reader_;
    std::uint64_t readerGeneration_ = 0;
    std::unique_ptr<IndexSkip> skip_;
    bool checkDue_ = false;     // the identities are to be checked again after the next run
    bool buildDue_ = false;     // the index is missing or damaged: built whole
    bool changesSeen_ = false;  // the watch saw files change since the last refresh began
    std::chrono::steady_clock::time_point lastChange_{};
    std::thread worker_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stop_{false};
    bool watching_ = false;
    std::atomic<std::uint64_t> generation_{0};  // refreshes finished
    std::mutex statusMutex_;
    std::string status_;
};

}  // namespace vsr::engine
