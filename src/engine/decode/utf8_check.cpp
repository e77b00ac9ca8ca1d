#include "engine/decode/utf8_check.h"

#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "engine/query/cpu_features.h"
#include "text/utf8.h"

namespace vsr::engine {
namespace {

namespace utf8 = text::utf8;

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighs = 0x8080808080808080ULL;

// Whether the eight bytes of `w` are all ASCII and none is NUL.
inline bool plainAscii(std::uint64_t w) { return ((w | ((w - kOnes) & ~w)) & kHighs) == 0; }

#if defined(__x86_64__)
// The same as asciiBlocks, 128 bytes a step on a processor with AVX2: the smallest byte of each
// lane of the four loads is zero where any of them is NUL, so one comparison covers them all.
__attribute__((target("avx2"))) std::size_t asciiBlocksWide(const unsigned char* p, std::size_t n) {
    const __m256i zero = _mm256_setzero_si256();
    std::size_t i = 0;
    for (; i + 128 <= n; i += 128) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 32));
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 64));
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 96));
        const __m256i low = _mm256_min_epu8(_mm256_min_epu8(a, b), _mm256_min_epu8(c, d));
        const __m256i any = _mm256_or_si256(_mm256_or_si256(a, b), _mm256_or_si256(c, d));
        if (_mm256_movemask_epi8(_mm256_or_si256(any, _mm256_cmpeq_epi8(low, zero))) != 0) break;
    }
    return i;
}
#endif

// The length of the run of plain ASCII (no byte from 0x80, no NUL) at the start of p[0, n), in
// whole blocks of 32 bytes: the text a UTF-8 check passes over at the speed of memory.
inline std::size_t asciiBlocks(const unsigned char* p, std::size_t n) {
    std::size_t i = 0;
#if defined(__x86_64__)
    if (hasAvx2()) i = asciiBlocksWide(p, n);
    const __m128i zero = _mm_setzero_si128();
    for (; i + 32 <= n; i += 32) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16));
        const __m128i nul = _mm_or_si128(_mm_cmpeq_epi8(a, zero), _mm_cmpeq_epi8(b, zero));
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), nul)) != 0) break;
    }
#endif
    return i;
}

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
        i += asciiBlocks(p + i, n - i);
        if (i == n) break;
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
