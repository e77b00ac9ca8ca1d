#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace vsr::fileops {

// Width of a text in pixels, as the label that shows it measures it.
using TextWidth = std::function<int(std::string_view)>;

// Number of characters of a UTF-8 text (bytes that don't start a character are not counted).
std::size_t characterCount(std::string_view text);
// Byte offset of character `n` (the text's size when it has fewer characters).
std::size_t characterOffset(std::string_view text, std::size_t n);

// A text wider than `limit` becomes its first `keep` characters, "..." and the longest tail that
// keeps the whole within the limit. Characters are never cut in half.
std::string shortenToWidth(std::string_view text, int limit, std::size_t keep, const TextWidth& width);

}  // namespace vsr::fileops
