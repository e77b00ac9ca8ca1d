#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vsr::platform {

// The single-byte code pages whose upper-case and letter-or-digit rules the search can use.
enum class CodePageId { Windows1252, Windows1250, Windows1251, Iso8859_1, Iso8859_15 };

// Upper-casing and the letter-or-digit test of one single-byte code page, as 256-entry tables
// so the hot loops fold a whole buffer with one lookup per byte.
class CodePage {
public:
    static const CodePage& get(CodePageId id);
    static const CodePage& defaultPage() { return get(CodePageId::Windows1252); }

    CodePageId id() const { return id_; }
    unsigned char upper(unsigned char c) const { return upper_[c]; }
    bool isAlnum(unsigned char c) const { return alnum_[c] != 0; }
    // Letters and digits of the page plus "_": the whole-word boundary test.
    bool isWordChar(unsigned char c) const { return word_[c] != 0; }
    const std::array<unsigned char, 256>& upperTable() const { return upper_; }

    std::string toUpper(std::string_view text) const;
    void toUpperInPlace(char* data, std::size_t size) const;

private:
    explicit CodePage(CodePageId id);
    CodePageId id_;
    std::array<unsigned char, 256> upper_{};
    std::array<unsigned char, 256> alnum_{};
    std::array<unsigned char, 256> word_{};
};

// "1252", "1250", "1251", "8859-1", "8859-15" (as the tool's --codepage takes them).
std::optional<CodePageId> parseCodePageName(std::string_view name);

}  // namespace vsr::platform
