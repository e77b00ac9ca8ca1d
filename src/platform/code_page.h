#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vsr::platform {

// The text encodings whose upper-case and letter-or-digit rules the search can use: UTF-8 and
// five single-byte code pages.
enum class CodePageId { Windows1252, Windows1250, Windows1251, Iso8859_1, Iso8859_15, Utf8 };

// Upper-casing and the letter-or-digit test of one text encoding. A single-byte page keeps them
// as 256-entry tables so the hot loops fold a whole buffer with one lookup per byte. Under UTF-8
// the tables hold the ASCII rules (bytes from 0x80 stay as they are and are no word characters)
// and the character-level calls below decode the text: an ASCII byte is still one lookup.
class CodePage {
public:
    static const CodePage& get(CodePageId id);
    static const CodePage& defaultPage() { return get(CodePageId::Windows1252); }

    CodePageId id() const { return id_; }
    bool isUtf8() const { return id_ == CodePageId::Utf8; }
    unsigned char upper(unsigned char c) const { return upper_[c]; }
    bool isAlnum(unsigned char c) const { return alnum_[c] != 0; }
    // Letters and digits of the page plus "_": the whole-word boundary test.
    bool isWordChar(unsigned char c) const { return word_[c] != 0; }
    const std::array<unsigned char, 256>& upperTable() const { return upper_; }

    // The folded form of a text, for comparing without regard to case: the upper case of every
    // byte on a single-byte page; under UTF-8 every character folded (the length in bytes may
    // change, invalid bytes stay).
    std::string toUpper(std::string_view text) const;
    // Folds in place through the byte table: under UTF-8 only ASCII letters change.
    void toUpperInPlace(char* data, std::size_t size) const;

    // Whether `text` folded as toUpper does equals `folded` (a text toUpper made).
    bool sameFolded(std::string_view text, std::string_view folded) const;

    // Characters in `text` (bytes on a single-byte page).
    std::size_t length(std::string_view text) const;
    // Whether the character that ends just before `pos` / begins at `pos` is a word character;
    // false at the start / end of the text.
    bool wordCharBefore(std::string_view text, std::size_t pos) const;
    bool wordCharAt(std::string_view text, std::size_t pos) const;
    // The end of the character that begins at `pos` (pos + 1 on a single-byte page).
    std::size_t nextChar(std::string_view text, std::size_t pos) const;
    // True when no character of `text` is cut at `pos` (always on a single-byte page).
    bool isCharStart(std::string_view text, std::size_t pos) const;

private:
    explicit CodePage(CodePageId id);
    CodePageId id_;
    std::array<unsigned char, 256> upper_{};
    std::array<unsigned char, 256> alnum_{};
    std::array<unsigned char, 256> word_{};
};

// "utf-8", "1252", "1250", "1251", "8859-1", "8859-15" (as the tool's --codepage takes them;
// "utf8" and upper case are taken too).
std::optional<CodePageId> parseCodePageName(std::string_view name);
// The name parseCodePageName takes back ("UTF-8", "1252", ...).
const char* codePageName(CodePageId id);
// The encoding for a locale's character set name (nl_langinfo(CODESET)): UTF-8, the matching
// single-byte page, else Windows-1252.
CodePageId codePageForCharset(std::string_view charset);
// The encoding of the user's locale (LC_ALL, LC_CTYPE, LANG), by the rule above.
CodePageId systemCodePage();
// The name of the user's locale for character types (LC_ALL, LC_CTYPE, LANG: "ru_RU.UTF-8");
// empty when none is set.
std::string systemLocaleName();

}  // namespace vsr::platform
