#include "platform/code_page.h"

#include <initializer_list>
#include <utility>

namespace vsr::platform {
namespace {

using Pairs = std::initializer_list<std::pair<int, int>>;  // lower, upper
using Ranges = std::initializer_list<std::pair<int, int>>;  // first, last (inclusive)

struct PageData {
    Pairs upperPairs;     // lower-case letters above ASCII and their capitals
    Ranges shiftedLower;  // ranges mapped by -0x20 (skipping 0xF7)
    Ranges letters;       // letters above ASCII
};

// Letters above ASCII per page, from the pages' published character tables.
const PageData& dataFor(CodePageId id) {
    static const PageData cp1252{
        {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}},
        {{0xE0, 0xFE}},
        {{0x83, 0x83}, {0x8A, 0x8A}, {0x8C, 0x8C}, {0x8E, 0x8E}, {0x9A, 0x9A}, {0x9C, 0x9C},
         {0x9E, 0x9F}, {0xAA, 0xAA}, {0xB5, 0xB5}, {0xBA, 0xBA}, {0xC0, 0xD6}, {0xD8, 0xF6},
         {0xF8, 0xFF}}};
    static const PageData cp1250{
        {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F}, {0xB3, 0xA3},
         {0xB9, 0xA5}, {0xBA, 0xAA}, {0xBF, 0xAF}, {0xBE, 0xBC}},
        {{0xE0, 0xFE}},
        {{0x8A, 0x8A}, {0x8C, 0x8F}, {0x9A, 0x9A}, {0x9C, 0x9F}, {0xA3, 0xA3}, {0xA5, 0xA5},
         {0xAA, 0xAA}, {0xAF, 0xAF}, {0xB3, 0xB3}, {0xB5, 0xB5}, {0xB9, 0xBA}, {0xBC, 0xBC},
         {0xBE, 0xBF}, {0xC0, 0xD6}, {0xD8, 0xF6}, {0xF8, 0xFE}}};
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
        {{0xAA, 0xAA}, {0xB5, 0xB5}, {0xBA, 0xBA}, {0xC0, 0xD6}, {0xD8, 0xF6}, {0xF8, 0xFF}}};
    static const PageData latin9{
        {{0xA8, 0xA6}, {0xB8, 0xB4}, {0xBD, 0xBC}, {0xFF, 0xBE}},
        {{0xE0, 0xFE}},
        {{0xA6, 0xA6}, {0xA8, 0xA8}, {0xAA, 0xAA}, {0xB4, 0xB5}, {0xB8, 0xB8}, {0xBA, 0xBA},
         {0xBC, 0xBE}, {0xC0, 0xD6}, {0xD8, 0xF6}, {0xF8, 0xFF}}};
    switch (id) {
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
            if (c != 0xF7) upper_[c] = static_cast<unsigned char>(c - 0x20);
    for (auto [lower, upper] : d.upperPairs) upper_[lower] = static_cast<unsigned char>(upper);
    for (auto [first, last] : d.letters)
        for (int c = first; c <= last; ++c) alnum_[c] = 1;
    for (int c = 0; c < 256; ++c) word_[c] = alnum_[c] || c == '_';
}

const CodePage& CodePage::get(CodePageId id) {
    static const CodePage pages[] = {CodePage(CodePageId::Windows1252), CodePage(CodePageId::Windows1250),
                                     CodePage(CodePageId::Windows1251), CodePage(CodePageId::Iso8859_1),
                                     CodePage(CodePageId::Iso8859_15)};
    return pages[static_cast<int>(id)];
}

std::string CodePage::toUpper(std::string_view text) const {
    std::string out(text);
    toUpperInPlace(out.data(), out.size());
    return out;
}

void CodePage::toUpperInPlace(char* data, std::size_t size) const {
    const unsigned char* table = upper_.data();
    unsigned char* p = reinterpret_cast<unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) p[i] = table[p[i]];
}

std::optional<CodePageId> parseCodePageName(std::string_view name) {
    if (name == "1252") return CodePageId::Windows1252;
    if (name == "1250") return CodePageId::Windows1250;
    if (name == "1251") return CodePageId::Windows1251;
    if (name == "8859-1") return CodePageId::Iso8859_1;
    if (name == "8859-15") return CodePageId::Iso8859_15;
    return std::nullopt;
}

}  // namespace vsr::platform
