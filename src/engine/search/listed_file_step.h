#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/query/compiled_query.h"
#include "platform/file_system.h"

namespace vsr::engine {

// Work a run does on each file it lists, on the thread that examined the file, while that
// thread still holds the file's bytes: a caller that needs the contents of the listed files
// (a dry run's modification) need not read them a second time. What the work makes stays with
// the caller; the search's own output does not change.
class ListedFileStep {
public:
    // One per examining thread, used by that thread alone.
    class Worker {
    public:
        virtual ~Worker() = default;
        // `path` was just listed, with `info` (as the row shows it). `bytes` is the whole file
        // as the search read it, or null when the search did not hold all of it (a read cut at
        // a NUL byte, a file that grew while read, a query that reads nothing). `found`, when
        // the worker wantsOccurrences() and the query notesOccurrences(), is where the search
        // counted its term in `bytes` (up to a NUL byte), else null. `stopped` says when the
        // run is over: long work looks at it and gives up.
        virtual void listed(const std::string& path, const platform::FileInfo& info, const std::string_view* bytes,
                            const std::vector<Occurrence>* found, const std::function<bool()>& stopped) = 0;
        virtual bool wantsOccurrences() const { return false; }
    };
    virtual ~ListedFileStep() = default;
    // Called from any thread.
    virtual std::unique_ptr<Worker> makeWorker() = 0;
};

}  // namespace vsr::engine
