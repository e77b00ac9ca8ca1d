#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vsr::engine {

class SearchRun;
class WalkFilters;

// What lets a directory walk skip work it can prove would change nothing: the listing of a
// folder known to be unchanged, and the files known to be passed over anyway. The walk applies
// its masks, ignore lists and filters as always; only the system calls are saved.
class WalkShortcut {
public:
    virtual ~WalkShortcut() = default;
    // Before the walk of `root` (as the run names it).
    virtual void begin(SearchRun& run, const std::string& root, const WalkFilters& filters) = 0;
    // The listing of the folder `dir` (the root when `top`) as stored, when the folder is
    // provably the one stored: its number, else -1 and `out` untouched, and the walk lists it.
    virtual int storedListing(const std::string& dir, bool top, std::vector<platform::DirEntry>& out) = 0;
    // The walk listed `dir` itself, after storedListing said -1.
    virtual void listed(const std::string& dir, const std::vector<platform::DirEntry>& entries) = 0;
    // Whether the file at place `i` of the stored folder `folder` would be passed over by the
    // run's matcher: the walk then never hands it over.
    virtual bool passesOver(int folder, std::size_t i) = 0;
    // The walk is over; `complete` when it was not stopped.
    virtual void end(bool complete) = 0;
};

}  // namespace vsr::engine
