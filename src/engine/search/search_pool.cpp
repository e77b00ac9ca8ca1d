#include "engine/search/search_pool.h"

#include <algorithm>
#include <system_error>

namespace vsr::engine {
namespace {

// A worker keeps its read buffers between files while they are within its share of the read
// budget (and at least this much); a larger one goes back at once, so a few huge files do not
// stay in memory once per worker, and all the buffers kept stay within the budget.
constexpr std::size_t kLeastKeptBuffer = 2u << 20;

}  // namespace

SearchPool::SearchPool(SearchRun& walkRun, int workers, const MatcherFactory& makeMatcher, ReadBudget& budget)
    : walkRun_(walkRun) {
    workers_.resize(static_cast<std::size_t>(workers < 1 ? 1 : workers));
    const std::size_t kept = std::max(kLeastKeptBuffer, budget.limit() / workers_.size());
    for (Worker& w : workers_) {
        w.keptBytes = kept;
        w.run = std::make_unique<SearchRun>(walkRun.conditions(), walkRun.env(), walkRun.stopFlag(), walkRun.output());
        w.run->terms() = walkRun.terms();
        w.run->masks() = walkRun.masks();
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
    if (run.buffer().capacity() + run.foldBuffer().capacity() > worker.keptBytes) run.releaseBuffers();
}

SearchPool::Job& SearchPool::pushPlace() {
    if (queued_ == jobs_.size()) {
        std::vector<Job> bigger(jobs_.empty() ? 256 : jobs_.size() * 2);
        for (std::size_t i = 0; i < queued_; ++i) std::swap(bigger[i], jobs_[(head_ + i) % jobs_.size()]);
        jobs_.swap(bigger);
        head_ = 0;
    }
    return jobs_[(head_ + queued_) % jobs_.size()];
}

void SearchPool::fillJob(Job& job, EventSlot* slot, const SharedFolder& dir, const platform::DirEntry& entry,
             const platform::FolderRef& folder) {
    job.slot = slot;
    job.dir = dir;
    job.entry.name.assign(entry.name);
    job.entry.kind = entry.kind;
    job.entry.viaLink = entry.viaLink;
    job.entry.infoLoaded = entry.infoLoaded;
    job.entry.info = entry.info;
    job.folder = folder;
}

void SearchPool::examine(const SharedFolder& dir, platform::DirEntry& entry, const platform::FolderRef& folder) {
    EventSlot* slot = walkRun_.handOffSlot();
    if (!slot) return;  // the host wants no more
    if (threads_.empty()) {
        fillJob(inlineJob_, slot, dir, entry, folder);
        examineJob(workers_.front(), inlineJob_);
        return;
    }
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        fillJob(pushPlace(), slot, dir, entry, folder);
        ++queued_;
        wake = idle_ > 0;
    }
    if (wake) jobReady_.notify_one();
}

void SearchPool::work(Worker& worker) {
    // A worker takes a few files at a time, fewer when the queue is short, so the threads
    // meet at the queue's lock less often and still share the last files out evenly.
    constexpr std::size_t kMostTaken = 8;
    std::vector<Job> batch(kMostTaken);
    for (;;) {
        std::size_t n = 0;
        {
            std::unique_lock lock(mutex_);
            if (!finished_ && queued_ == 0) {
                ++idle_;
                jobReady_.wait(lock, [&] { return finished_ || queued_ > 0; });
                --idle_;
            }
            if (queued_ == 0) return;
            n = queued_ / (workers_.size() * 2);
            n = n < 1 ? 1 : n > kMostTaken ? kMostTaken : n;
            for (std::size_t i = 0; i < n; ++i) {
                std::swap(batch[i], jobs_[head_]);
                head_ = (head_ + 1) % jobs_.size();
            }
            queued_ -= n;
        }
        for (std::size_t i = 0; i < n; ++i) examineJob(worker, batch[i]);
    }
}

}  // namespace vsr::engine
