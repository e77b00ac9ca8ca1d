#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/search/search_sink.h"
#include "platform/file_system.h"

namespace vsr::engine {

// A folder's full name, shared by the files of the folder that are on their way to the host.
using SharedFolder = std::shared_ptr<const std::string>;

// One thing a run tells its host, recorded by the thread that found it and handed to the
// host later, in walk order, on the host's thread.
struct SearchEvent {
    enum class Kind {
        Status,               // panel, text
        FileStatus,           // the path panel names a file: folder + "/" + text
        Message,              // caption, text, icon
        Row,                  // text = folder, entry, counts, caption = the file's own encoding or empty
        FoundColumnRemoved,   // a query without text lists every file without a Found column
        ExpressionCharacter,  // panel = the tab, position = the character of a regex error
        NotSearched,          // text = the full name of a file the query could not read, caption = why
    };
    Kind kind = Kind::Status;
    int panel = 0;
    int position = 0;
    MessageIcon icon = MessageIcon::Exclamation;
    std::string caption;
    std::string text;
    platform::DirEntry entry;
    std::vector<std::int64_t> counts;
    SharedFolder folder;
};

// A stretch of a run's output: what the walk said before a file, then what examining the file
// said. Slots are numbered in walk order; the host takes them in that order, each once it is
// complete.
struct EventSlot {
    std::uint64_t seq = 0;
    // A new event at the end of the slot. Slots are used again for later files: the event may
    // hold what an earlier one left in the fields its kind does not use, and its strings keep
    // their room, so a run does not allocate them anew for every file.
    SearchEvent& add() {
        if (used_ == events_.size()) events_.emplace_back();
        return events_[used_++];
    }
    std::span<SearchEvent> events() { return {events_.data(), used_}; }
    std::size_t size() const { return used_; }
    // Empties the slot for its next use.
    void reset() {
        used_ = 0;
        endsRun = false;
    }
    // A failed check in this file: the run ends after these events, as a single-threaded run
    // would have stopped there.
    bool endsRun = false;
    // Set (release) by the thread that examined the file once the events are final; the host
    // reads them after seeing it (acquire), so completing a slot takes no lock.
    std::atomic<bool> complete = false;

private:
    std::vector<SearchEvent> events_;
    std::size_t used_ = 0;
};

}  // namespace vsr::engine
