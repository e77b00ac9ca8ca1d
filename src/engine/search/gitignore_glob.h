#pragma once
#include <string_view>

namespace vsr::engine {

// Matches `text` against one pattern of an ignore file as version control matches it, byte
// for byte and case-sensitively: "*", "?", "[...]" (ranges, "[!...]" and "[^...]", the
// "[:alpha:]" classes), "\" before a character for that character. With `pathName` a "*" or
// "?" never matches "/" and "**" between slashes (or at either end) matches any number of
// folders; without it, "*" matches anything, "/" included.
bool gitignoreGlobMatches(std::string_view pattern, std::string_view text, bool pathName);

}  // namespace vsr::engine
