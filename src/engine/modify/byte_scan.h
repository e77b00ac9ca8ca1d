#pragma once
#include <cstddef>
#include <string_view>

namespace vsr::engine {

// Whether `text` holds the byte `a` or the byte `b`: one pass where two memchr calls take two.
bool holdsEither(std::string_view text, char a, char b);

// What the bytes [p, p + n) hold, found in one pass: their LF bytes, where the last of them is,
// and whether a NUL byte or a CR is among them.
struct SpanScan {
    std::size_t feeds = 0;
    std::size_t lastFeed = 0;  // its offset from p; meaningless without feeds
    bool nulOrCr = false;
};
SpanScan scanSpan(const char* p, std::size_t n);

// The offset of the k-th LF (k >= 1) in [p, p + n), counted from the start; n when there are
// fewer, `seen` then their number. Short distances cost no call into the C library.
std::size_t nthFeed(const char* p, std::size_t n, std::size_t k, std::size_t& seen);
// The same counted back from the end.
std::size_t nthFeedBack(const char* p, std::size_t n, std::size_t k);

}  // namespace vsr::engine
