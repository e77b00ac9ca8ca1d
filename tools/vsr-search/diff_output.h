#pragma once
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace vsr::tools {

// Prints a dry run's diffs to a stream without copying them into its buffer: each diff is taken
// whole, and the diffs held are written together by one writev once they are many or large
// enough, after whatever the stream held. Made per run; flush() (or the destructor) writes what
// is still held.
class DiffOutput {
public:
    explicit DiffOutput(std::FILE* out) : out_(out) {}
    ~DiffOutput() { flush(); }
    DiffOutput(const DiffOutput&) = delete;
    DiffOutput& operator=(const DiffOutput&) = delete;

    // Takes `diff` (it is left empty) to be written after the ones taken before it.
    void take(std::string& diff);
    // Writes every diff held; false when the stream refused some of it (then and before).
    bool flush();
    // Why the stream refused, when it did (an errno value).
    int error() const { return error_; }

private:
    static constexpr std::size_t kHeldBytes = 1u << 20;
    static constexpr std::size_t kHeldDiffs = 512;

    std::FILE* out_;
    std::vector<std::string> held_;
    std::size_t heldBytes_ = 0;
    bool failed_ = false;
    int error_ = 0;
};

}  // namespace vsr::tools
