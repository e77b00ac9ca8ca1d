#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/modify/modify_content.h"
#include "engine/modify/worker_run.h"
#include "platform/clock.h"
#include "durable/file_store.h"

namespace vsr::engine {

// Work done on a changed file's modification by the thread that computed it (a dry run's diff),
// given the file's bytes as read; its result travels with the row.
using ContentStep =
    std::function<std::string(const std::string& path, std::string_view before, const ModifiedContent& content)>;

// One row's file as a worker read and modified it, ahead of the row's turn.
struct PreparedRow {
    bool read = false;    // false: the file could not be read
    // Where the file lies, when the run reaches files beneath its searched folder; `refusal`
    // says why it could not be placed there (then nothing was read).
    std::optional<platform::FilePlace> place;
    std::string refusal;
    bool failed = false;  // the memory did not suffice: the row fails, the file stays as it was
    platform::FileStamp stamp;
    ModifiedContent content;
    std::string note;  // what the content step made of a changed file
    // Message boxes the engine showed for this file (each also stopped the run).
    std::vector<HeldMessage> messages;
    bool stopRequested = false;
};

// Reads and modifies the files of a run's rows on worker threads, a bounded number of rows
// ahead of the thread that writes them, which takes them in row order. Each worker has its own
// matcher and its own stop flag; messages are recorded and shown by the taker when the row's
// turn comes, so what the user sees is what a single-threaded run shows. Everything with an
// effect on disk or on the list (attributes, writes, results) stays with the taker.
class ModifyPrefetch {
public:
    struct Job {
        std::string path;
        results::ModificationInterval interval;
        const SkippedEdits* skipped = nullptr;  // the edits the user turned off; null: all kept
    };

    // `files` is only read, from every worker at once; so is `tree` (when given), through which
    // each file is reached.
    ModifyPrefetch(int workers, const SearchConditions& conditions, durable::FileStore& files,
                   LineSeparator separator, ContentStep step, std::vector<Job> jobs,
                   const platform::SearchedTree* tree = nullptr);
    ~ModifyPrefetch();
    ModifyPrefetch(const ModifyPrefetch&) = delete;
    ModifyPrefetch& operator=(const ModifyPrefetch&) = delete;

    // The prepared job `index` (taken in increasing order); `idle` runs while waiting, at least
    // every `idleMs`, and a true return of `cancelled` gives up (nothing is returned).
    std::optional<PreparedRow> take(std::size_t index, const std::function<void()>& idle, int idleMs,
                                    const std::function<bool()>& cancelled);
    // Stops the workers: the rows in progress end as stopped, no more are started.
    void cancel();

private:
    struct Worker;
    void work(Worker& worker);
    PreparedRow prepare(Worker& worker, const Job& job);

    const SearchConditions& conditions_;
    durable::FileStore& files_;
    const platform::SearchedTree* tree_;
    const LineSeparator separator_;
    const ContentStep step_;
    const std::vector<Job> jobs_;
    const std::size_t ahead_;

    std::mutex mutex_;
    std::condition_variable room_;   // a worker may start the next job
    std::condition_variable ready_;  // a job was prepared
    std::vector<std::optional<PreparedRow>> done_;
    std::size_t nextJob_ = 0;  // the next job a worker starts
    std::size_t taken_ = 0;    // jobs before this were taken
    std::atomic<bool> cancelled_ = false;
    std::vector<std::unique_ptr<Worker>> workers_;
    std::vector<std::thread> threads_;
};

}  // namespace vsr::engine
