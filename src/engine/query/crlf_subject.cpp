#include "engine/query/crlf_subject.h"

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

void copyWithCrLf(std::string_view text, char* out) {
    const char* src = text.data();
    const std::size_t n = text.size();
    std::size_t at = 0;
#if defined(__x86_64__)
    // Each block of sixteen is stored whole, then again from after each LF it holds once the
    // CR LF is written; every load stays within the text, every store within the slack.
    const __m128i lf = _mm_set1_epi8('\n');
    for (; at + 32 <= n; at += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
        if (!mask) {
            out += 16;
            continue;
        }
        unsigned pos = 0;
        do {
            const unsigned i = static_cast<unsigned>(__builtin_ctz(mask));
            out += i - pos;
            out[0] = '\r';
            out[1] = '\n';
            out += 2;
            pos = i + 1;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at + pos)));
            mask &= mask - 1;
        } while (mask);
        out += 16 - pos;
    }
#endif
    for (; at < n; ++at) {
        if (src[at] == '\n') *out++ = '\r';
        *out++ = src[at];
    }
}

}  // namespace vsr::engine
