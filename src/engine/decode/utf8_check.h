#pragma once
#include <cstddef>
#include <string_view>

namespace vsr::engine {

// Whether a text handed over piece by piece is valid UTF-8 up to its first NUL byte (where a
// file's text ends). ASCII goes eight bytes at a time, so a plain text costs one light pass
// over bytes that are in the processor's cache anyway.
class Utf8Check {
public:
    // Looks at the next piece; false once the text is known not to be UTF-8.
    bool take(std::string_view piece);
    // No more pieces: false when the text is not UTF-8 (a character cut at its end included).
    bool finish();
    bool valid() const { return valid_; }
    // A NUL byte was seen: the bytes after it are no part of the text.
    bool ended() const { return ended_; }

private:
    // Bytes of a character begun in the last piece, and how many it needs in all.
    unsigned char carry_[4] = {};
    std::size_t carried_ = 0;
    std::size_t needed_ = 0;
    bool valid_ = true;
    bool ended_ = false;
};

// The whole of `text` at once.
bool isUtf8Text(std::string_view text);

}  // namespace vsr::engine
