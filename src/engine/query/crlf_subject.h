#pragma once
#include <cstddef>
#include <string_view>

namespace vsr::engine {

// What a text holds before its first NUL byte, its line ends counted in the same pass.
struct LineEndCensus {
    std::size_t length = 0;       // bytes before the first NUL (the whole text when it has none)
    std::size_t lineFeeds = 0;    // LF bytes among them
    bool carriageReturn = false;  // some CR byte among them
};
LineEndCensus lineEndCensus(std::string_view text);

// Bytes past the copy's end that copyWithCrLf may write.
inline constexpr std::size_t kCrLfCopySlack = 16;

// Copies `text`, whose line ends are all LF, to `out` with each LF made CR LF: text.size() plus
// its LF count bytes, and up to kCrLfCopySlack bytes after them scribbled on.
void copyWithCrLf(std::string_view text, char* out);

}  // namespace vsr::engine
