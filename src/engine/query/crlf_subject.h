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

// Copies `text` to `out` with each LF made CR LF, and returns the size of the copy (text.size()
// plus its LF count); up to kCrLfCopySlack bytes after it are scribbled on. `out` must have room
// for twice the text. `clean` tells whether the text held no CR and no NUL byte: only then is
// the copy what the text's subject is.
std::size_t copyWithCrLf(std::string_view text, char* out, bool& clean);

}  // namespace vsr::engine
