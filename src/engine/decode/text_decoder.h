#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/decode/file_encoding.h"

namespace vsr::engine {

// Turns the bytes of a file in its own encoding (after its byte order mark) into text of the
// chosen text encoding, piece by piece: a character cut between two pieces is completed by the
// next. A unit that is no character (an unpaired surrogate, a value past U+10FFFF, an odd byte
// at the end, a malformed UTF-8 sequence) becomes U+FFFD in UTF-8 text; on a single-byte
// setting it, and every character the page lacks, becomes the control character SUB (0x1A),
// which no typed query holds: such a character is never found as something else, and the
// text is marked inexact so it is never written back. With `keepDamaged`, a UTF-16 or UTF-32
// unit that is no character becomes, in UTF-8 text, the run of damaged_units.h instead, and
// the text stays exact: encoding it back gives the damaged bytes as they were.
class TextDecoder {
public:
    static constexpr char kMissingByte = 0x1A;

    TextDecoder(FileEncoding from, platform::CodePageId to, bool keepDamaged = false);

    // Appends the text of `bytes` to `out`. `last`: no more bytes come (a cut character left
    // at the end is then ill-formed).
    void decode(std::string_view bytes, std::string& out, bool last);

    // Every unit decoded into a character the chosen encoding holds: encoding the text back
    // gives the bytes it came from.
    bool exact() const { return !ill_formed_ && !lacking_; }
    bool illFormed() const { return ill_formed_; }
    // Some unit was no character and is kept as the run of its bytes.
    bool damaged() const { return damaged_; }
    // The first character the chosen encoding could not hold.
    std::optional<char32_t> lacking() const { return lacking_; }

private:
    // Adds one character to the text.
    void put(char32_t c, std::string& out);
    // The unit of `n` bytes at `raw` is no character.
    void illFormed(std::string& out, const unsigned char* raw, std::size_t n);
    // The code unit of `width` bytes at `p`, in the file's byte order.
    char32_t unit(const unsigned char* p) const;

    FileEncoding from_;
    platform::CodePageId to_;
    std::size_t width_ = 1;  // bytes per code unit
    unsigned char carry_[4] = {};
    std::size_t carried_ = 0;
    char32_t high_ = 0;  // a UTF-16 high surrogate waiting for its low half
    unsigned char high_bytes_[2] = {};  // its bytes as the file has them
    bool keep_damaged_ = false;
    bool ill_formed_ = false;
    bool damaged_ = false;
    std::optional<char32_t> lacking_;
};

// The whole of `bytes` (after the mark) decoded at once.
std::string decodeFileBytes(FileEncoding from, platform::CodePageId to, std::string_view bytes,
                            bool* exact = nullptr, bool keepDamaged = false);

}  // namespace vsr::engine
