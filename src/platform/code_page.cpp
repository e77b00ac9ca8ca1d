#include "platform/code_page.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "text/unicode_tables.h"
#include "text/utf8.h"

namespace vsr::platform {

namespace utf8 = text::utf8;
namespace unicode = text::unicode;
namespace {

using Pairs = std::initializer_list<std::pair<int, int>>;  // lower, upper
using Ranges = std::initializer_list<std::pair<int, int>>;  // first, last (inclusive)

struct PageData {
    Pairs upperPairs;     // lower-case letters above ASCII and their capitals
    Ranges shiftedLower;  // ranges mapped by -0x20
    Ranges letters;       // letters above ASCII
    int notShifted = -1;  // a byte inside shiftedLower that is no letter (the division sign)
};

// Letters above ASCII per page, from the pages' published character tables.
const PageData& dataFor(CodePageId id) {
    static const PageData cp1252{
        {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}},
        {{0xE0, 0xFE}},
        {{0x83, 0x83}, {0x8A, 0x8A}, {0x8C, 0x8C}, {0x8E, 0x8E}, {0x9A, 0x9A}, {0x9C, 0x9C},
         {0x9E, 0x9F}, {0xAA, 0xAA}, {0xB5, 0xB5}, {0xBA, 0xBA}, {0xC0, 0xD6}, {0xD8, 0xF6},
         {0xF8, 0xFF}},
        0xF7};
    static const PageData cp1250{
        {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F}, {0xB3, 0xA3},
         {0xB9, 0xA5}, {0xBA, 0xAA}, {0xBF, 0xAF}, {0xBE, 0xBC}},
        {{0xE0, 0xFE}},
        {{0x8A, 0x8A}, {0x8C, 0x8F}, {0x9A, 0x9A}, {0x9C, 0x9F}, {0xA3, 0xA3}, {0xA5, 0xA5},
         {0xAA, 0xAA}, {0xAF, 0xAF}, {0xB3, 0xB3}, {0xB5, 0xB5}, {0xB9, 0xBA}, {0xBC, 0xBC},
         {0xBE, 0xBF}, {0xC0, 0xD6}, {0xD8, 0xF6}, {0xF8, 0xFE}},
        0xF7};
    static const PageData cp1251{
        {{0x90, 0x80}, {0x83, 0x81}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E},
         {0x9F, 0x8F}, {0xA2, 0xA1}, {0xBC, 0xA3}, {0xB4, 0xA5}, {0xB8, 0xA8}, {0xBA, 0xAA},
         {0xBF, 0xAF}, {0xB3, 0xB2}, {0xBE, 0xBD}},
        {{0xE0, 0xFF}},
        {{0x80, 0x81}, {0x83, 0x83}, {0x8A, 0x8A}, {0x8C, 0x90}, {0x9A, 0x9A}, {0x9C, 0x9F},
         {0xA1, 0xA3}, {0xA5, 0xA5}, {0xA8, 0xA8}, {0xAA, 0xAA}, {0xAF, 0xAF}, {0xB2, 0xB5},
         {0xB8, 0xB8}, {0xBA, 0xBA}, {0xBC, 0xFF}}};
    static const PageData latin1{
        {},
        {{0xE0, 0xFE}},
        {{0xAA, 0xAA}, {0xB5, 0xB5}, {0xBA, 0xBA}, {0xC0, 0xD6}, {0xD8, 0xF6}, {0xF8, 0xFF}},
        0xF7};
    static const PageData latin9{
        {{0xA8, 0xA6}, {0xB8, 0xB4}, {0xBD, 0xBC}, {0xFF, 0xBE}},
        {{0xE0, 0xFE}},
        {{0xA6, 0xA6}, {0xA8, 0xA8}, {0xAA, 0xAA}, {0xB4, 0xB5}, {0xB8, 0xB8}, {0xBA, 0xBA},
         {0xBC, 0xBE}, {0xC0, 0xD6}, {0xD8, 0xF6}, {0xF8, 0xFF}},
        0xF7};
    // UTF-8: the byte tables hold ASCII only.
    static const PageData utf8{{}, {}, {}};
    switch (id) {
        case CodePageId::Utf8: return utf8;
        case CodePageId::Windows1250: return cp1250;
        case CodePageId::Windows1251: return cp1251;
        case CodePageId::Iso8859_1: return latin1;
        case CodePageId::Iso8859_15: return latin9;
        case CodePageId::Windows1252: break;
    }
    return cp1252;
}

}  // namespace

CodePage::CodePage(CodePageId id) : id_(id) {
    for (int c = 0; c < 256; ++c) {
        upper_[c] = static_cast<unsigned char>(c);
        bool ascii = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        alnum_[c] = ascii ? 1 : 0;
    }
    for (int c = 'a'; c <= 'z'; ++c) upper_[c] = static_cast<unsigned char>(c - 0x20);
    const PageData& d = dataFor(id);
    for (auto [first, last] : d.shiftedLower)
        for (int c = first; c <= last; ++c)
            if (c != d.notShifted) upper_[c] = static_cast<unsigned char>(c - 0x20);
    for (auto [lower, upper] : d.upperPairs) upper_[lower] = static_cast<unsigned char>(upper);
    for (auto [first, last] : d.letters)
        for (int c = first; c <= last; ++c) alnum_[c] = 1;
    for (int c = 0; c < 256; ++c) word_[c] = alnum_[c] || c == '_';
}

const CodePage& CodePage::get(CodePageId id) {
    static const CodePage pages[] = {CodePage(CodePageId::Windows1252), CodePage(CodePageId::Windows1250),
                                     CodePage(CodePageId::Windows1251), CodePage(CodePageId::Iso8859_1),
                                     CodePage(CodePageId::Iso8859_15), CodePage(CodePageId::Utf8)};
    return pages[static_cast<int>(id)];
}

std::string CodePage::toUpper(std::string_view text) const {
    std::string out(text);
    if (!isUtf8()) {
        toUpperInPlace(out.data(), out.size());
        return out;
    }
    out.clear();
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp;
        i += utf8::decode(text, i, cp);
        utf8::append(out, unicode::fold(cp));
    }
    return out;
}

bool CodePage::sameFolded(std::string_view text, std::string_view folded) const {
    if (!isUtf8()) {
        if (text.size() != folded.size()) return false;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (upper_[static_cast<unsigned char>(text[i])] != static_cast<unsigned char>(folded[i])) return false;
        return true;
    }
    std::size_t i = 0, j = 0;
    while (i < text.size() && j < folded.size()) {
        auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            if (upper_[b] != static_cast<unsigned char>(folded[j])) return false;
            ++i;
            ++j;
            continue;
        }
        char32_t cp, want;
        i += utf8::decode(text, i, cp);
        j += utf8::decode(folded, j, want);
        if (unicode::fold(cp) != want) return false;
    }
    return i == text.size() && j == folded.size();
}

std::size_t CodePage::length(std::string_view text) const { return isUtf8() ? utf8::length(text) : text.size(); }

bool CodePage::wordCharBefore(std::string_view text, std::size_t pos) const {
    if (pos == 0 || pos > text.size()) return false;
    auto b = static_cast<unsigned char>(text[pos - 1]);
    if (!isUtf8() || b < 0x80) return word_[b] != 0;
    char32_t cp;
    utf8::decodeBefore(text, pos, cp);
    return unicode::isWordChar(cp);
}

bool CodePage::wordCharAt(std::string_view text, std::size_t pos) const {
    if (pos >= text.size()) return false;
    auto b = static_cast<unsigned char>(text[pos]);
    if (!isUtf8() || b < 0x80) return word_[b] != 0;
    char32_t cp;
    utf8::decode(text, pos, cp);
    return unicode::isWordChar(cp);
}

std::size_t CodePage::nextChar(std::string_view text, std::size_t pos) const {
    if (pos >= text.size()) return pos + 1;
    if (!isUtf8() || static_cast<unsigned char>(text[pos]) < 0x80) return pos + 1;
    char32_t cp;
    return pos + utf8::decode(text, pos, cp);
}

bool CodePage::isCharStart(std::string_view text, std::size_t pos) const {
    return !isUtf8() || utf8::isCharStart(text, pos);
}

void CodePage::toUpperInPlace(char* data, std::size_t size) const {
    const unsigned char* table = upper_.data();
    unsigned char* p = reinterpret_cast<unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) p[i] = table[p[i]];
}

std::optional<CodePageId> parseCodePageName(std::string_view name) {
    std::string lower;
    for (char ch : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (lower == "utf-8" || lower == "utf8") return CodePageId::Utf8;
    if (name == "1252") return CodePageId::Windows1252;
    if (name == "1250") return CodePageId::Windows1250;
    if (name == "1251") return CodePageId::Windows1251;
    if (name == "8859-1") return CodePageId::Iso8859_1;
    if (name == "8859-15") return CodePageId::Iso8859_15;
    return std::nullopt;
}

const char* codePageName(CodePageId id) {
    switch (id) {
        case CodePageId::Utf8: return "UTF-8";
        case CodePageId::Windows1250: return "1250";
        case CodePageId::Windows1251: return "1251";
        case CodePageId::Iso8859_1: return "8859-1";
        case CodePageId::Iso8859_15: return "8859-15";
        case CodePageId::Windows1252: break;
    }
    return "1252";
}

CodePageId codePageForCharset(std::string_view charset) {
    std::string n;
    for (char ch : charset)
        if (ch != '-' && ch != '_') n += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (n == "UTF8") return CodePageId::Utf8;
    if (n == "CP1250" || n == "WINDOWS1250") return CodePageId::Windows1250;
    if (n == "CP1251" || n == "WINDOWS1251") return CodePageId::Windows1251;
    if (n == "ISO88591" || n == "LATIN1") return CodePageId::Iso8859_1;
    if (n == "ISO885915" || n == "LATIN9") return CodePageId::Iso8859_15;
    return CodePageId::Windows1252;
}

CodePageId systemCodePage() {
    // A locale object of its own: the process's global locale is left as it is.
    locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) {
        // A locale that is named but not installed: its name still tells the character set
        // ("de_DE.UTF-8@euro").
        for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
            const char* v = std::getenv(var);
            if (!v || !*v) continue;
            std::string_view name(v);
            std::size_t dot = name.find('.');
            if (dot == std::string_view::npos) return CodePageId::Windows1252;
            name = name.substr(dot + 1);
            return codePageForCharset(name.substr(0, name.find('@')));
        }
        return CodePageId::Windows1252;
    }
    CodePageId id = codePageForCharset(nl_langinfo_l(CODESET, loc));
    freelocale(loc);
    return id;
}

std::string systemLocaleName() {
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char* v = std::getenv(var); v && *v) return v;
    return {};
}

}  // namespace vsr::platform
