#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vsr::engine {

// One line of an ignore file, read as version control reads it.
struct GitignorePattern {
    // The pattern without its "!", its trailing "/" and (when it names a path) one leading "/".
    std::string glob;
    bool negative = false;      // "!": a match keeps the path
    bool foldersOnly = false;   // a trailing "/"
    bool nameOnly = false;      // no "/" in it: matched against the last name of the path alone
    // Shortcuts that give what the glob gives: a plain name, or "*" before a plain tail.
    enum class Shape { Glob, Literal, EndsWith } shape = Shape::Glob;
    // A glob's plain bytes before its first special one and after its last: a name must begin
    // and end with them, which most names fail at once.
    std::size_t plainHead = 0;
    std::size_t plainTail = 0;
};

// What the patterns of one ignore file say about a path: nothing, or the last pattern that
// matches it, ignoring or keeping it.
enum class GitignoreVerdict { None, Ignored, Kept };

// The patterns of one ignore file (.gitignore, .ignore or info/exclude). Paths are matched by
// their bytes relative to the folder the file applies to, case-sensitively.
class GitignoreRules {
public:
    // `baseLength`: how many leading bytes of the paths asked about name the file's folder
    // (its name relative to the top of the tree and a "/", or 0 at the top).
    GitignoreRules(std::string_view fileBytes, std::size_t baseLength);

    bool empty() const { return patterns_.empty(); }
    std::size_t baseLength() const { return baseLength_; }
    const std::vector<GitignorePattern>& patterns() const { return patterns_; }

    // `path`: relative to the top, beginning with this file's folder; `name`: its last part.
    GitignoreVerdict verdict(std::string_view path, std::string_view name, bool isFolder) const;

private:
    std::vector<GitignorePattern> patterns_;
    std::size_t baseLength_;
};

// Reads one line of an ignore file (without its line end) into a pattern; false for blank
// lines, comments and lines that match nothing.
bool parseGitignoreLine(std::string_view line, GitignorePattern& out);

}  // namespace vsr::engine
