#pragma once
#include <memory>
#include <string>
#include <vector>

namespace vsr::platform {

// What a watch saw since it was last asked.
struct WatchNews {
    // Full names of files and folders created, written, changed in their information, moved
    // or removed below the watched folder (a name may come more than once).
    std::vector<std::string> changed;
    // Changes were lost (the system's queue ran over, or a folder could not be watched): any
    // file below the folder may have changed unseen.
    bool overflow = false;
    bool any() const { return overflow || !changed.empty(); }
};

// Watches a folder and every folder below it for changes, without blocking: the owner asks for
// the news when it likes.
class TreeWatch {
public:
    virtual ~TreeWatch() = default;
    // Starts watching `root` (and stops watching anything watched before). False when it can't:
    // the news then always says overflow.
    virtual bool watch(const std::string& root) = 0;
    // The news since the last call (or since watch()).
    virtual WatchNews take() = 0;
};

// The system's watch (inotify on Linux); nothing when the system has none to give.
std::unique_ptr<TreeWatch> makeSystemTreeWatch();

}  // namespace vsr::platform
