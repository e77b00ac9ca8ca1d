#include "engine/search/search_pool.h"

#include <system_error>

namespace vsr::engine {
namespace {

// A worker keeps a read buffer up to this size between files; a larger one goes back at once,
// so a few huge files do not stay in memory once per worker.
constexpr std::size_t kKeptBuffer = 16u << 20;

}  // namespace

SearchPool::SearchPool(SearchRun& walkRun, int workers, const MatcherFactory& makeMatcher, ReadBudget& budget)
    : walkRun_(walkRun) {
    workers_.resize(static_cast<std::size_t>(workers < 1 ? 1 : workers));
    for (Worker& w : workers_) {
        w.run = std::make_unique<SearchRun>(walkRun.conditions(), walkRun.env(), walkRun.stopFlag(), walkRun.output());
        w.run->terms() = walkRun.terms();
        w.run->setReadBudget(&budget);
        w.matcher = makeMatcher(*w.run);
    }
    try {
        for (Worker& w : workers_) threads_.emplace_back([this, &w] { work(w); });
    } catch (const std::system_error&) {
        // Fewer threads than asked for: those that started share the files; with none, the
        // walk examines them itself (see examine).
    }
}

SearchPool::~SearchPool() { finish(); }

void SearchPool::finish() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    jobReady_.notify_all();
    for (std::thread& t : threads_)
        if (t.joinable()) t.join();
}

void SearchPool::examineJob(Worker& worker, Job& job) {
    SearchRun& run = *worker.run;
    run.useSlot(job.slot);
    run.useFolder(job.folder.get());
    if (!run.stopped()) matchGuarded(run, *worker.matcher, *job.dir, job.entry);
    run.useFolder(nullptr);
    job.folder.reset();
    run.completeSlot();
    if (run.buffer().capacity() > kKeptBuffer || run.foldBuffer().capacity() > kKeptBuffer) run.releaseBuffers();
}

void SearchPool::examine(const SharedFolder& dir, platform::DirEntry& entry, const platform::FolderRef& folder) {
    EventSlot* slot = walkRun_.handOffSlot();
    if (!slot) return;  // the host wants no more
    Job job{slot, dir, std::move(entry), folder};
    if (threads_.empty()) {
        examineJob(workers_.front(), job);
        return;
    }
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
        wake = idle_ > 0;
    }
    if (wake) jobReady_.notify_one();
}

void SearchPool::work(Worker& worker) {
    // A worker takes a few files at a time, fewer when the queue is short, so the threads
    // meet at the queue's lock less often and still share the last files out evenly.
    constexpr std::size_t kMostTaken = 8;
    std::vector<Job> batch;
    for (;;) {
        batch.clear();
        {
            std::unique_lock lock(mutex_);
            if (!finished_ && jobs_.empty()) {
                ++idle_;
                jobReady_.wait(lock, [&] { return finished_ || !jobs_.empty(); });
                --idle_;
            }
            if (jobs_.empty()) return;
            std::size_t n = jobs_.size() / (workers_.size() * 2);
            n = n < 1 ? 1 : n > kMostTaken ? kMostTaken : n;
            for (std::size_t i = 0; i < n; ++i) {
                batch.push_back(std::move(jobs_.front()));
                jobs_.pop_front();
            }
        }
        for (Job& job : batch) examineJob(worker, job);
    }
}

}  // namespace vsr::engine
