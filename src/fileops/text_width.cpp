#include "fileops/text_width.h"

namespace vsr::fileops {

namespace {
bool startsCharacter(unsigned char c) { return (c & 0xC0) != 0x80; }
}  // namespace

std::size_t characterCount(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if (startsCharacter(c)) ++n;
    return n;
}

std::size_t characterOffset(std::string_view text, std::size_t n) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!startsCharacter(static_cast<unsigned char>(text[i]))) continue;
        if (seen == n) return i;
        ++seen;
    }
    return text.size();
}

std::string shortenToWidth(std::string_view text, int limit, std::size_t keep, const TextWidth& width) {
    if (limit <= 0 || width(text) <= limit) return std::string(text);
    const std::string head = std::string(text.substr(0, characterOffset(text, keep))) + "...";
    const std::size_t headChars = characterCount(text.substr(0, head.size() - 3));
    const std::size_t total = characterCount(text);
    auto withTail = [&](std::size_t tailChars) {
        return head + std::string(text.substr(characterOffset(text, total - tailChars)));
    };
    // A longer tail is never narrower, so the longest one that fits is found by halving.
    std::size_t lo = 0, hi = total - headChars;
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        if (width(withTail(mid)) <= limit) lo = mid;
        else hi = mid - 1;
    }
    return withTail(lo);
}

}  // namespace vsr::fileops
