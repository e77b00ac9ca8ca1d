#pragma once
#include <string>
#include <string_view>

namespace vsr::engine {

// The unified diff of one file, as `patch -p1` (or `git apply`) applies it to the old bytes to
// give the new ones exactly: "--- a/NAME" and "+++ b/NAME", hunks with `context` lines of
// context, "\ No newline at end of file" after a last line without a line feed, CR kept inside
// the lines. A name with blanks, quotes, control or non-ASCII bytes is C-quoted, as diff does.
// Texts with a NUL byte give the single line "Binary files a/NAME and b/NAME differ". Equal
// texts give nothing.
std::string unifiedDiff(std::string_view name, std::string_view before, std::string_view after, int context = 3);

// "a/" or "b/" + name, C-quoted when the name needs it.
std::string diffFileName(std::string_view prefix, std::string_view name);

}  // namespace vsr::engine
