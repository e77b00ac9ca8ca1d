#include "engine/decode/utf8_check.h"

#include <cstdint>
#include <cstring>

#include "text/utf8.h"

namespace vsr::engine {
namespace {

namespace utf8 = text::utf8;

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighs = 0x8080808080808080ULL;

// Whether the eight bytes of `w` are all ASCII and none is NUL.
inline bool plainAscii(std::uint64_t w) { return ((w | ((w - kOnes) & ~w)) & kHighs) == 0; }

// The length a UTF-8 sequence that begins with `lead` has; 0 for a byte that begins none.
inline std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0xC2 || lead > 0xF4) return 0;
    return lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

}  // namespace

bool Utf8Check::take(std::string_view piece) {
    if (!valid_ || ended_) return valid_;
    const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
    const std::size_t n = piece.size();
    std::size_t i = 0;
    if (carried_) {
        while (carried_ < needed_ && i < n) {
            if (p[i] == 0 || !utf8::isContinuation(p[i])) return valid_ = false;
            carry_[carried_++] = p[i++];
        }
        if (carried_ < needed_) return true;
        char32_t c;
        utf8::decode(carry_, carried_, c);
        carried_ = 0;
        if (utf8::isInvalid(c)) return valid_ = false;
    }
    while (i < n) {
        if (i + 8 <= n) {
            std::uint64_t w;
            std::memcpy(&w, p + i, 8);
            if (plainAscii(w)) {
                i += 8;
                continue;
            }
        }
        const unsigned char b = p[i];
        if (b == 0) {
            ended_ = true;
            return true;
        }
        if (b < 0x80) {
            ++i;
            continue;
        }
        const std::size_t len = sequenceLength(b);
        if (len == 0) return valid_ = false;
        if (n - i < len) {
            // The piece ends inside the character: the next one completes it.
            for (std::size_t k = i + 1; k < n; ++k)
                if (!utf8::isContinuation(p[k])) return valid_ = false;
            needed_ = len;
            carried_ = n - i;
            std::memcpy(carry_, p + i, carried_);
            return true;
        }
        char32_t c;
        if (utf8::decode(p + i, len, c) != len || utf8::isInvalid(c)) return valid_ = false;
        i += len;
    }
    return true;
}

bool Utf8Check::finish() {
    if (carried_ && !ended_) valid_ = false;
    carried_ = 0;
    return valid_;
}

bool isUtf8Text(std::string_view text) {
    Utf8Check check;
    check.take(text);
    return check.finish();
}

}  // namespace vsr::engine
