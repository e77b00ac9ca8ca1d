#pragma once
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/search/file_walk.h"
#include "engine/search/read_budget.h"

namespace vsr::engine {

// The threads that read and match files ahead of the host. The walk hands each file over with
// the slot it opened for it; a worker examines the file with its own run (buffers, parsed query)
// and its own matcher (one regex engine each) and completes the slot. The host takes the slots
// in walk order, so what it sees does not depend on which worker was faster.
class SearchPool final : public FileExaminer {
public:
    using MatcherFactory = std::function<std::unique_ptr<ContentMatcher>(SearchRun&)>;

    // `walkRun` is the walk's run; each worker copies its conditions and parsed query.
    SearchPool(SearchRun& walkRun, int workers, const MatcherFactory& makeMatcher, ReadBudget& budget);
    ~SearchPool() override;

    void examine(const SharedFolder& dir, platform::DirEntry& entry, const platform::FolderRef& folder) override;
    // No more files: the workers finish what they have and end.
    void finish();

private:
    struct Job {
        EventSlot* slot = nullptr;
        SharedFolder dir;
        platform::DirEntry entry;
        platform::FolderRef folder;
    };
    struct Worker {
        std::unique_ptr<SearchRun> run;
        std::unique_ptr<ContentMatcher> matcher;
        std::size_t keptBytes = 0;  // the most buffer memory kept from one file to the next
    };
    void work(Worker& worker);
    static void examineJob(Worker& worker, Job& job);
    // The next free place at the end of the queue (with mutex_ held); the queue grows when full.
    Job& pushPlace();
    // Copies the file's name into the job's own string, which keeps its room from earlier use.
    static void fillJob(Job& job, EventSlot* slot, const SharedFolder& dir, const platform::DirEntry& entry,
                        const platform::FolderRef& folder);

    SearchRun& walkRun_;
    std::vector<Worker> workers_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable jobReady_;
    // The waiting files, a ring: its places are used again and again, and a worker swaps the
    // jobs it takes for ones it is done with, so names and folder references keep their memory
    // and handing a file over allocates nothing.
    std::vector<Job> jobs_;
    std::size_t head_ = 0;
    std::size_t queued_ = 0;
    Job inlineJob_;  // the one job of a pool that got no thread
    int idle_ = 0;  // workers waiting for a job: only then is one woken
    bool finished_ = false;
};

}  // namespace vsr::engine
