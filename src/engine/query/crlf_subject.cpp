#include "engine/query/crlf_subject.h"

#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vsr::engine {

LineEndCensus lineEndCensus(std::string_view text) {
    const char* base = text.data();
    const std::size_t n = text.size();
    LineEndCensus census;
    std::size_t at = 0;
#if defined(__x86_64__)
    // Sixteen bytes at a time: a NUL ends the text, CRs are only noticed, and each byte lane
    // counts its LFs (a match is -1) for up to 255 blocks before the lanes are summed.
    const __m128i nul = _mm_setzero_si128(), cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    __m128i lanes = nul, crs = nul;
    auto drain = [&] {
        const __m128i sums = _mm_sad_epu8(lanes, nul);
        census.lineFeeds += static_cast<std::size_t>(_mm_cvtsi128_si64(sums)) +
                            static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
        lanes = nul;
    };
    for (int blocks = 0; at + 16 <= n; at += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + at));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(v, nul))) break;  // the bytes from here one by one
        lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(v, lf));
        crs = _mm_or_si128(crs, _mm_cmpeq_epi8(v, cr));
        if (++blocks == 255) {
            drain();
            blocks = 0;
        }
    }
    drain();
    census.carriageReturn = _mm_movemask_epi8(crs) != 0;
#endif
    for (; at < n && base[at] != '\0'; ++at) {
        census.lineFeeds += base[at] == '\n';
        census.carriageReturn = census.carriageReturn || base[at] == '\r';
    }
    census.length = at;
    return census;
}

namespace {

#if defined(__x86_64__)
// For each pattern of LFs among eight bytes: the shuffle that takes the eight to their places in
// the copy, each LF twice, and what to add to make the first of the two a CR.
struct LineFeedSpread {
    alignas(16) std::uint8_t order[256][16];
    alignas(16) std::uint8_t toCr[256][16];
};

const LineFeedSpread& lineFeedSpread() {
    static const LineFeedSpread table = [] {
        LineFeedSpread t{};
        for (int m = 0; m < 256; ++m) {
            int j = 0;
            for (int i = 0; i < 8; ++i) {
                if (m & (1 << i)) {
                    t.order[m][j] = static_cast<std::uint8_t>(i);
                    t.toCr[m][j++] = '\r' - '\n';
                }
                t.order[m][j++] = static_cast<std::uint8_t>(i);
            }
            for (; j < 16; ++j) t.order[m][j] = 0x80;  // a zero byte, overwritten by what follows
        }
        return t;
    }();
    return table;
}

// Sixteen bytes a step without a branch on where the LFs are: each half of a block is spread
// by its table entry and stored whole, the next store starting where its copy ends (found by
// counting, so no table load waits on another).
__attribute__((target("ssse3,popcnt"))) std::size_t copyBlocksWithCrLf(const char* src, std::size_t n, char*& out,
                                                                         bool& clean) {
    const LineFeedSpread& t = lineFeedSpread();
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r'), nul = _mm_setzero_si128(),
                  high = _mm_set1_epi8(8);
    __m128i unclean = nul;
    std::size_t at = 0;
    for (; at + 16 <= n; at += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at));
        unclean = _mm_or_si128(unclean, _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, nul)));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
        const unsigned lo = mask & 0xFF, hi = mask >> 8;
        const __m128i loOrder = _mm_load_si128(reinterpret_cast<const __m128i*>(t.order[lo]));
        const __m128i hiOrder = _mm_add_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(t.order[hi])), high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_add_epi8(_mm_shuffle_epi8(v, loOrder), _mm_load_si128(reinterpret_cast<const __m128i*>(t.toCr[lo]))));
        out += 8 + __builtin_popcount(lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_add_epi8(_mm_shuffle_epi8(v, hiOrder), _mm_load_si128(reinterpret_cast<const __m128i*>(t.toCr[hi]))));
        out += 8 + __builtin_popcount(hi);
    }
    clean = _mm_movemask_epi8(unclean) == 0;
    return at;
}
#endif

}  // namespace

std::size_t copyWithCrLf(std::string_view text, char* out, bool& clean) {
    const char* src = text.data();
    const std::size_t n = text.size();
    char* const first = out;
    std::size_t at = 0;
    clean = true;
#if defined(__x86_64__)
    static const bool shuffles = __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("popcnt");
    if (shuffles) at = copyBlocksWithCrLf(src, n, out, clean);
#endif
    for (; at < n; ++at) {
        clean = clean && src[at] != '\r' && src[at] != '\0';
        if (src[at] == '\n') *out++ = '\r';
        *out++ = src[at];
    }
    return static_cast<std::size_t>(out - first);
}

}  // namespace vsr::engine
