#pragma once
#include <cstddef>
#include <string_view>

namespace vsr::engine {

// The number of LF bytes in [p, p + n).
std::size_t countLineFeeds(const char* p, std::size_t n);

// Whether `text` holds the byte `a` or the byte `b`: one pass where two memchr calls take two.
bool holdsEither(std::string_view text, char a, char b);

}  // namespace vsr::engine
