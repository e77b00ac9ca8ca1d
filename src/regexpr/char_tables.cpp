#include "regexpr/char_tables.h"

namespace vsr::regexpr {

namespace {

// Windows-1252 letters that are not ASCII, as (lower, upper) pairs and caseless letters.
constexpr std::uint8_t kPairs1252[][2] = {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}};
constexpr std::uint8_t kCaseless1252[] = {0x83, 0xAA, 0xB5, 0xBA, 0xDF};

}  // namespace

CharTables CharTables::windows1252() {
    static const CharTables built = [] {
    CharTables t;
    ByteTable upper{};
    ByteTable word{};
    for (int c = 0; c < 256; ++c) upper[c] = static_cast<std::uint8_t>(c);
    for (int c = 'a'; c <= 'z'; ++c) upper[c] = static_cast<std::uint8_t>(c - 32);
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7) upper[c] = static_cast<std::uint8_t>(c - 32);
    for (const auto& p : kPairs1252) upper[p[0]] = p[1];
    for (int c = 0; c < 256; ++c) {
        bool letter = upper[c] != c;
        for (int u = 0; u < 256 && !letter; ++u) letter = u != c && upper[u] == c;
        word[c] = letter || (c >= '0' && c <= '9') || c == '_';
    }
    for (std::uint8_t c : kCaseless1252) word[c] = 1;
    t.setUpper(upper);
    t.setWord(word);
    t.setSpace(std::string_view(" \t\n\r\f", 5));
    t.setLineSeparators("\r\n");
    return t;
    }();
    return built;
}

void CharTables::setUtf8(bool on) {
    utf8 = on;
    if (!on) return;
    // Bytes beyond ASCII are parts of characters: they have no case and are no word characters
    // on their own.
    for (int c = 0x80; c < 256; ++c) {
        upper[c] = otherCase[c] = static_cast<std::uint8_t>(c);
        word[c] = false;
    }
    for (int c = 0; c < 0x80; ++c) {
        if (upper[c] >= 0x80) upper[c] = static_cast<std::uint8_t>(c);
        if (otherCase[c] >= 0x80) otherCase[c] = static_cast<std::uint8_t>(c);
    }
}

void CharTables::setUpper(const ByteTable& table) {
    upper = table;
    // Lower of an upper-case letter, upper of any other character.
    for (int c = 0; c < 256; ++c) otherCase[c] = table[c];
    for (int c = 0; c < 256; ++c) {
        std::uint8_t u = table[c];
        if (u != c && table[u] == u) otherCase[u] = static_cast<std::uint8_t>(c);
    }
    if (utf8) setUtf8(true);
}

void CharTables::setWord(const ByteTable& nonZeroIsWord) {
    for (int c = 0; c < 256; ++c) word[c] = nonZeroIsWord[c] != 0;
    if (utf8) setUtf8(true);
}

void CharTables::setSpace(std::string_view chars) {
    space.fill(false);
    for (char c : chars) space[static_cast<std::uint8_t>(c)] = true;
}

void CharTables::setLineSeparators(std::string_view chars) {
    lineSep.fill(false);
    for (char c : chars) lineSep[static_cast<std::uint8_t>(c)] = true;
}

}  // namespace vsr::regexpr
