#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vsr::engine {

// A stretch where two sequences differ: a[aBegin, aEnd) became b[bBegin, bEnd).
struct DiffChange {
    std::size_t aBegin = 0;
    std::size_t aEnd = 0;
    std::size_t bBegin = 0;
    std::size_t bEnd = 0;
    bool operator==(const DiffChange&) const = default;
};

// Beyond this many differences in one stretch the search gives up on a minimal answer.
inline constexpr std::int64_t kMaxDiffCost = 2048;

// The differences between two sequences of symbols, in order and never adjacent. Minimal
// (Myers' algorithm in linear space) up to a bounded effort per stretch; past it a stretch of
// two equally long runs is compared position by position and any other is replaced whole, so
// a file changed on every line costs no more than reading it.
std::vector<DiffChange> diffSymbols(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b);

// The lines of a text as a line-based diff sees them: each with its line feed (a CR stays in
// the line); only the last may lack one.
std::vector<std::string_view> splitDiffLines(std::string_view text);

// The differences between two lists of lines (compared byte for byte).
std::vector<DiffChange> diffLines(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b);

// The same with the hash lines are first compared by; the answer never depends on it (lines
// whose hashes collide are told apart), only the speed does.
using LineHash = std::uint64_t (*)(std::string_view);
std::vector<DiffChange> diffLines(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                                  LineHash hash);

}  // namespace vsr::engine
