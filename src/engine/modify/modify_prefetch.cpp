#include "engine/modify/modify_prefetch.h"

#include <chrono>
#include <new>
#include <system_error>

namespace vsr::engine {

struct ModifyPrefetch::Worker {
    // The worker's own run and clock: no window to pump, its own stop flag, messages held.
    WorkerRun run;
    platform::SteadyClock clock;
    std::unique_ptr<ModifyQuery> query;
};

ModifyPrefetch::ModifyPrefetch(int workers, const SearchConditions& conditions, durable::FileStore& files,
                               LineSeparator separator, ContentStep step, std::vector<Job> jobs,
                               const platform::SearchedTree* tree)
    : conditions_(conditions), files_(files), tree_(tree), separator_(separator), step_(std::move(step)),
      jobs_(std::move(jobs)), ahead_(static_cast<std::size_t>(workers < 1 ? 1 : workers) * 4) {
    done_.resize(jobs_.size());
    for (int i = 0; i < (workers < 1 ? 1 : workers); ++i) {
        auto w = std::make_unique<Worker>();
        w->query = std::make_unique<ModifyQuery>(conditions_, w->run, w->clock);
        workers_.push_back(std::move(w));
    }
    try {
        for (auto& w : workers_) threads_.emplace_back([this, &worker = *w] { work(worker); });
    } catch (const std::system_error&) {
        // Fewer threads than asked for: those that started do the work; with none, take()
        // prepares each row itself.
    }
}

ModifyPrefetch::~ModifyPrefetch() {
    cancel();
    for (std::thread& t : threads_)
        if (t.joinable()) t.join();
}

void ModifyPrefetch::cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        for (auto& w : workers_) w->run.state.stop = true;
    }
    room_.notify_all();
    ready_.notify_all();
}

PreparedRow ModifyPrefetch::prepare(Worker& worker, const Job& job) {
    PreparedRow row;
    RunState& state = worker.run.state;
    // Each file starts with the flag the run has: a message that stopped the last file was
    // that file's, and the taker decides what it means for the run.
    state.stop = cancelled_.load();
    if (cancelled_) state.stop = true;  // cancel() may have set the flag just before
    worker.run.messages.clear();
    try {
        if (tree_) {
            row.place = tree_->place(job.path, row.refusal);
            if (!row.place) return row;
        }
        std::optional<std::string> original =
            row.place ? files_.readAt(*row.place, &row.stamp) : files_.read(job.path, &row.stamp);
        if (!original) return row;
        row.read = true;
        ModifyContext context(conditions_, *worker.query, worker.run, worker.run, worker.clock);
        context.chooseEdits(job.skipped);
        row.content = modifyContent(context, std::move(*original), job.interval, separator_);
        if (step_ && row.content.changed()) row.note = step_(job.path, row.content.original, row.content);
    } catch (const std::bad_alloc&) {
        if (worker.query->matcher()) worker.query->matcher()->release();
        row.content = {};
        row.note.clear();
        row.failed = true;
    }
    row.messages = std::move(worker.run.messages);
    worker.run.messages.clear();
    row.stopRequested = state.stop && !cancelled_.load();
    return row;
}

void ModifyPrefetch::work(Worker& worker) {
    for (;;) {
        std::size_t index = 0;
        {
            std::unique_lock lock(mutex_);
            room_.wait(lock, [&] { return cancelled_ || nextJob_ >= jobs_.size() || nextJob_ < taken_ + ahead_; });
            if (cancelled_ || nextJob_ >= jobs_.size()) return;
            index = nextJob_++;
        }
        PreparedRow row = prepare(worker, jobs_[index]);
        {
            std::lock_guard lock(mutex_);
            // A row the taker passed over meanwhile is not kept.
            if (index >= taken_) done_[index] = std::move(row);
        }
        ready_.notify_all();
    }
}

std::optional<PreparedRow> ModifyPrefetch::take(std::size_t index, const std::function<void()>& idle, int idleMs,
                                                const std::function<bool()>& cancelled) {
    if (index >= jobs_.size()) return std::nullopt;
    if (threads_.empty()) {
        if (cancelled()) return std::nullopt;
        return prepare(*workers_.front(), jobs_[index]);
    }
    std::unique_lock lock(mutex_);
    // Rows passed over (another name of a file already done, a refused file) go, and the
    // workers may run on ahead of this one.
    if (index > taken_) {
        for (std::size_t i = taken_; i < index; ++i) done_[i].reset();
        taken_ = index;
        room_.notify_all();
    }
    while (!done_[index]) {
        if (cancelled_) return std::nullopt;
        if (ready_.wait_for(lock, std::chrono::milliseconds(idleMs), [&] { return done_[index].has_value(); })) break;
        lock.unlock();
        idle();
        const bool giveUp = cancelled();
        lock.lock();
        if (giveUp) return std::nullopt;
    }
    std::optional<PreparedRow> out = std::move(done_[index]);
    done_[index].reset();
    taken_ = index + 1;
    lock.unlock();
    room_.notify_all();
    return out;
}

}  // namespace vsr::engine
