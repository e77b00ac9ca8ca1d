#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Reading and writing UTF-8. A byte that does not begin a well-formed character (a stray
// continuation byte, an overlong form, a surrogate, a code point past U+10FFFF, or a sequence
// cut short) is one character of its own, decoded as kInvalidBase + the byte, so no byte is
// ever lost or merged with its neighbours.
namespace vsr::text::utf8 {

inline constexpr char32_t kInvalidBase = 0x110000;

inline bool isInvalid(char32_t cp) { return cp >= kInvalidBase; }
inline bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes the character at p (n > 0 bytes available); returns its length in bytes (1 to 4).
inline std::size_t decode(const unsigned char* p, std::size_t n, char32_t& cp) {
    const unsigned char b = p[0];
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    cp = kInvalidBase + b;
    if (b < 0xC2 || b > 0xF4) return 1;
    if (b < 0xE0) {
        if (n < 2 || !isContinuation(p[1])) return 1;
        cp = (static_cast<char32_t>(b & 0x1F) << 6) | (p[1] & 0x3F);
        return 2;
    }
    if (b < 0xF0) {
        if (n < 3 || !isContinuation(p[1]) || !isContinuation(p[2])) return 1;
        if ((b == 0xE0 && p[1] < 0xA0) || (b == 0xED && p[1] > 0x9F)) return 1;  // overlong, surrogate
        cp = (static_cast<char32_t>(b & 0x0F) << 12) | (static_cast<char32_t>(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        return 3;
    }
    if (n < 4 || !isContinuation(p[1]) || !isContinuation(p[2]) || !isContinuation(p[3])) return 1;
    if ((b == 0xF0 && p[1] < 0x90) || (b == 0xF4 && p[1] > 0x8F)) return 1;  // overlong, past U+10FFFF
    cp = (static_cast<char32_t>(b & 0x07) << 18) | (static_cast<char32_t>(p[1] & 0x3F) << 12) |
         (static_cast<char32_t>(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
    return 4;
}

inline std::size_t decode(std::string_view text, std::size_t pos, char32_t& cp) {
    return decode(reinterpret_cast<const unsigned char*>(text.data()) + pos, text.size() - pos, cp);
}

// The start of the character that holds byte `pos` (pos < text.size()).
inline std::size_t charStart(std::string_view text, std::size_t pos) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    if (!isContinuation(p[pos])) return pos;
    for (std::size_t back = 1; back <= 3 && back <= pos; ++back) {
        if (isContinuation(p[pos - back])) continue;
        char32_t cp;
        std::size_t len = decode(p + pos - back, text.size() - (pos - back), cp);
        return len > back ? pos - back : pos;
    }
    return pos;
}

// True when a character begins at `pos`; the end of the text counts as one.
inline bool isCharStart(std::string_view text, std::size_t pos) {
    return pos >= text.size() || charStart(text, pos) == pos;
}

// Decodes the character that ends just before `pos` (pos > 0); returns its start.
inline std::size_t decodeBefore(std::string_view text, std::size_t pos, char32_t& cp) {
    std::size_t start = charStart(text, pos - 1);
    decode(text, start, cp);
    return start;
}

// Appends the UTF-8 form of `cp`; an invalid-byte code point appends its byte.
inline void append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (isInvalid(cp)) {
        out += static_cast<char>(cp - kInvalidBase);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

inline std::size_t encodedLength(char32_t cp) {
    if (cp < 0x80 || isInvalid(cp)) return 1;
    return cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

// The number of characters in `text`.
inline std::size_t length(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp;
        i += decode(text, i, cp);
    }
    return count;
}

}  // namespace vsr::text::utf8
