#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vsr::engine {

// One file that the last modification run rewrote after backing it up.
struct UndoEntry {
    std::string path;     // full path of the rewritten file
    std::size_t row = 0;  // its row in the results list when it was rewritten
    std::vector<std::size_t> aliasRows;  // rows listing the same file under another name
    // The file as the run left it (0, 0 when unknown): an undo writes into no other.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// The files of the last run, in the order it rewrote them.
using UndoList = std::vector<UndoEntry>;

}  // namespace vsr::engine
