#include "engine/decode/page_bytes.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/text_encoding.h"

namespace vsr::engine {
namespace {

// The upper half of a page, sorted by character.
using Reverse = std::array<std::pair<char16_t, unsigned char>, 128>;

Reverse reverseOf(platform::CodePageId page) {
    Reverse r;
    for (int b = 0x80; b < 0x100; ++b)
        r[b - 0x80] = {platform::pageCharacter(page, static_cast<unsigned char>(b)), static_cast<unsigned char>(b)};
    std::sort(r.begin(), r.end());
    return r;
}

const Reverse& reverse(platform::CodePageId page) {
    static const std::array<Reverse, 5> pages = {
        reverseOf(platform::CodePageId::Windows1252), reverseOf(platform::CodePageId::Windows1250),
        reverseOf(platform::CodePageId::Windows1251), reverseOf(platform::CodePageId::Iso8859_1),
        reverseOf(platform::CodePageId::Iso8859_15)};
    const auto index = static_cast<std::size_t>(page);
    return pages[index < pages.size() ? index : 0];
}

}  // namespace

std::optional<unsigned char> pageByte(platform::CodePageId page, char32_t character) {
    if (character < 0x80) return static_cast<unsigned char>(character);
    if (character > 0xFFFF || page == platform::CodePageId::Utf8) return std::nullopt;
    const Reverse& r = reverse(page);
    const auto u = static_cast<char16_t>(character);
    const auto at = std::lower_bound(r.begin(), r.end(), std::pair<char16_t, unsigned char>(u, 0));
    if (at == r.end() || at->first != u) return std::nullopt;
    return at->second;
}

}  // namespace vsr::engine
