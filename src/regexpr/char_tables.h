#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace vsr::regexpr {

using ByteTable = std::array<std::uint8_t, 256>;
using ByteSet = std::array<bool, 256>;

// The character rules one engine compiles and matches with: case mapping and the sets behind
// \w, \s and the line separators, for a single-byte code page; or, with `utf8`, for UTF-8 text,
// where the byte tables keep their ASCII part and characters beyond ASCII are decoded.
struct CharTables {
    ByteTable upper{};      // upper-case form of every byte
    ByteTable otherCase{};  // the case inverter: lower of an upper-case letter, upper of any other
    ByteSet word{};         // \w
    ByteSet space{};        // \s
    ByteSet lineSep{};      // characters that end a line for "^", "$" and "." in multi-line use
    int paired0 = '\r';     // the paired separator (CR LF by default); -1 when none
    int paired1 = '\n';
    bool utf8 = false;      // the text is UTF-8: ".", classes, \w and folding take whole characters

    void setUtf8(bool on);

    // Windows-1252 case mapping and letters/digits plus "_" as word characters.
    static CharTables windows1252();

    // Takes the caller's upper-case table; the inverse mapping is derived from it.
    void setUpper(const ByteTable& table);
    void setWord(const ByteTable& nonZeroIsWord);
    void setSpace(std::string_view chars);
    void setLineSeparators(std::string_view chars);

    bool isPairedFirstAt(const char* s, std::size_t len, std::size_t pos) const {
        return paired0 >= 0 && pos + 1 < len && static_cast<std::uint8_t>(s[pos]) == paired0 &&
               static_cast<std::uint8_t>(s[pos + 1]) == paired1;
    }
};

}  // namespace vsr::regexpr
