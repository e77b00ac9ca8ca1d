#pragma once
#include <string>
#include <string_view>

namespace vsr::tools {

// How a file's name goes into a line of output, so that every line stays one row whatever the
// name holds. Plain: a name with a control character (a line feed, a tab) or one beginning with
// a double quote is written in double quotes with C escapes (\n, \t, \", \\, \ooo); every other
// name as it is, so a line that begins with a quote always holds a quoted name. With --null
// (as grep -Z) the name is written as it is and followed by a NUL byte instead of the character
// that would follow it.
struct NameOutput {
    bool nullAfterName = false;

    // Appends `name` and then `after` (a NUL with --null) to `line`.
    void append(std::string& line, std::string_view name, char after) const;
};

// `name` as a plain line shows it (quoted only where needed).
std::string quotedName(std::string_view name);

}  // namespace vsr::tools
