#pragma once
#include <cstddef>
#include <cstring>
#include <string_view>

namespace vsr::engine {

// Walks the lines of a text without copying: a line ends at CR LF, LF or CR; a last line
// without a line end is a line; an empty text has no lines.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {
        nextLf_ = locate('\n');
        nextCr_ = locate('\r');
    }

    // The next line (without its line end), or false at the end of the text.
    bool next(std::string_view& line) {
        const std::size_t n = text_.size();
        if (pos_ >= n) return false;
        const char* base = text_.data();
        if (nextLf_ < pos_) nextLf_ = locate('\n');
        if (nextCr_ < pos_) nextCr_ = locate('\r');
        std::size_t end = nextLf_ < nextCr_ ? nextLf_ : nextCr_;
        line = std::string_view(base + pos_, end - pos_);
        if (end >= n) pos_ = n;
        else if (base[end] == '\r' && end + 1 < n && base[end + 1] == '\n') pos_ = end + 2;
        else pos_ = end + 1;
        return true;
    }
    // Offset of the next line's first byte.
    std::size_t position() const { return pos_; }

private:
    std::size_t locate(char c) const {
        const void* hit = std::memchr(text_.data() + pos_, c, text_.size() - pos_);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data()) : text_.size();
    }
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t nextLf_ = 0;
    std::size_t nextCr_ = 0;
};

}  // namespace vsr::engine
