#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vsr::fileops {

// The browsed file and the selected line, as the editor command's placeholders see them.
struct EditTarget {
    std::string folder;        // without a trailing "/"
    std::string name;
    std::int64_t line = 1;     // 1 when no line entry is selected
};

// Replaces every "%PrFullName%", "%PrPath%", "%PrName%", "%PrExt%" and "%NumLine%"
// (case-sensitive) in one pass, so text that a value brings in is never replaced again.
std::string expandPlaceholders(std::string_view text, const EditTarget& target);

// An editor command cut into its program and the parameter text after it. A command that
// begins with a double quotation mark runs to the next one; otherwise the program ends at the
// first blank.
struct CommandParts {
    std::string program;
    std::string parameters;
    bool operator==(const CommandParts&) const = default;
};
CommandParts splitEditorCommand(std::string_view command);

// The parameter text cut into arguments: blanks separate them, double quotation marks group
// blanks and are dropped. `quoted` tells which arguments had quotation marks.
struct Argument {
    std::string text;
    bool quoted = false;
    bool operator==(const Argument&) const = default;
};
std::vector<Argument> splitArguments(std::string_view parameters);

// What "Edit File" starts: the program and its arguments, never a text a shell would read.
struct EditorLaunch {
    std::string program;
    std::vector<std::string> arguments;
};

// The command is trimmed and cut into program and arguments first, and the placeholders are
// filled into each part afterwards, so a file name with blanks, quotation marks, ";" or a line
// break stays one argument. An unquoted argument that expands to nothing is dropped.
EditorLaunch editorLaunch(std::string_view command, const EditTarget& target);

}  // namespace vsr::fileops
