#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vsr::engine {

// The unified diff of one file, as `patch -p1` (or `git apply`) applies it to the old bytes to
// give the new ones exactly: "--- a/NAME" and "+++ b/NAME", hunks with `context` lines of
// context, "\ No newline at end of file" after a last line without a line feed, CR kept inside
// the lines. A name with blanks, quotes, control or non-ASCII bytes is C-quoted, as diff does.
// Texts with a NUL byte give the single line "Binary files a/NAME and b/NAME differ". Equal
// texts give nothing.
std::string unifiedDiff(std::string_view name, std::string_view before, std::string_view after, int context = 3);

// A line changed in place: the line [oldBegin, oldEnd) of the old text (with its line feed)
// became [newBegin, newEnd) of the new one; `line` is its number (from 0) in both.
struct ReplacedLine {
    std::size_t line = 0;
    std::size_t oldBegin = 0;
    std::size_t oldEnd = 0;
    std::size_t newBegin = 0;
    std::size_t newEnd = 0;
};

// The unified diff of two texts without NUL bytes that differ only in `lines` (in increasing
// order, each really changed; every other line equal and at the same number): the hunks of
// unifiedDiff when its line diff pairs each changed line with its new version, found without
// comparing the texts.
std::string unifiedDiffOfLines(std::string_view name, std::string_view before, std::string_view after,
                               const std::vector<ReplacedLine>& lines, int context = 3);

// "a/" or "b/" + name, C-quoted when the name needs it.
std::string diffFileName(std::string_view prefix, std::string_view name);

}  // namespace vsr::engine
