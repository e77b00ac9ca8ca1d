#include "engine/modify/byte_scan.h"

#include <cstring>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "engine/query/cpu_features.h"

namespace vsr::engine {
namespace {

void scanTail(const char* p, std::size_t i, std::size_t n, SpanScan& out) {
    for (; i < n; ++i) {
        const char ch = p[i];
        if (ch == '\n') {
            ++out.feeds;
            out.lastFeed = i;
        }
        out.nulOrCr = out.nulOrCr || ch == '\0' || ch == '\r';
    }
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) bool eitherAvx2(const char* p, std::size_t n, char a, char b) {
    std::size_t i = 0;
    const __m256i va = _mm256_set1_epi8(a), vb = _mm256_set1_epi8(b);
    for (; i + 64 <= n; i += 64) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 32));
        const __m256i hits = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(x, va), _mm256_cmpeq_epi8(x, vb)),
                                             _mm256_or_si256(_mm256_cmpeq_epi8(y, va), _mm256_cmpeq_epi8(y, vb)));
        if (!_mm256_testz_si256(hits, hits)) return true;
    }
    for (; i < n; ++i)
        if (p[i] == a || p[i] == b) return true;
    return false;
}

// Each block of up to 255 x 32 bytes adds its line feeds up bytewise, then sums them, with NUL
// and CR bytes gathered alongside; the last line feed is then looked for from the end, where it
// lies within a line's length.
__attribute__((target("avx2"))) SpanScan scanAvx2(const char* p, std::size_t n) {
    SpanScan out;
    std::size_t i = 0;
    const __m256i lf = _mm256_set1_epi8('\n'), cr = _mm256_set1_epi8('\r'), zero = _mm256_setzero_si256();
    __m256i odd = zero;
    while (i + 32 <= n) {
        __m256i sums = zero;
        for (int k = 0; k < 255 && i + 32 <= n; ++k, i += 32) {
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
            sums = _mm256_sub_epi8(sums, _mm256_cmpeq_epi8(bytes, lf));
            odd = _mm256_or_si256(odd, _mm256_or_si256(_mm256_cmpeq_epi8(bytes, cr), _mm256_cmpeq_epi8(bytes, zero)));
        }
        const __m256i wide = _mm256_sad_epu8(sums, zero);
        out.feeds += static_cast<std::size_t>(_mm256_extract_epi64(wide, 0)) +
                     static_cast<std::size_t>(_mm256_extract_epi64(wide, 1)) +
                     static_cast<std::size_t>(_mm256_extract_epi64(wide, 2)) +
                     static_cast<std::size_t>(_mm256_extract_epi64(wide, 3));
    }
    out.nulOrCr = !_mm256_testz_si256(odd, odd);
    const std::size_t counted = out.feeds;
    scanTail(p, i, n, out);
    if (out.feeds == counted && counted > 0) {
        // None in the tail: the last is in the blocks, looked for from their end.
        for (std::size_t end = i;; end -= 32) {
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + end - 32));
            if (const unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, lf)))) {
                out.lastFeed = end - 32 + 31 - static_cast<std::size_t>(__builtin_clz(mask));
                break;
            }
        }
    }
    return out;
}

SpanScan scanSse2(const char* p, std::size_t n) {
    SpanScan out;
    std::size_t i = 0;
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r'), zero = _mm_setzero_si128();
    __m128i odd = zero;
    while (i + 16 <= n) {
        __m128i sums = zero;
        for (int k = 0; k < 255 && i + 16 <= n; ++k, i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            sums = _mm_sub_epi8(sums, _mm_cmpeq_epi8(bytes, lf));
            odd = _mm_or_si128(odd, _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, zero)));
        }
        const __m128i wide = _mm_sad_epu8(sums, zero);
        out.feeds += static_cast<std::size_t>(_mm_cvtsi128_si32(wide)) +
                     static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(wide, 8)));
    }
    out.nulOrCr = _mm_movemask_epi8(odd) != 0;
    const std::size_t counted = out.feeds;
    scanTail(p, i, n, out);
    if (out.feeds == counted && counted > 0)
        out.lastFeed = static_cast<std::size_t>(static_cast<const char*>(memrchr(p, '\n', i)) - p);
    return out;
}

// 32 bytes at a time: the LFs of each piece are counted, and the piece that holds the k-th is
// looked into.
__attribute__((target("avx2,popcnt"))) std::size_t nthFeedAvx2(const char* p, std::size_t n, std::size_t k,
                                                               std::size_t& seen) {
    const __m256i lf = _mm256_set1_epi8('\n');
    std::size_t i = 0, count = 0;
    for (; i + 32 <= n; i += 32) {
        unsigned mask = static_cast<unsigned>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i)), lf)));
        const std::size_t here = static_cast<std::size_t>(__builtin_popcount(mask));
        if (count + here >= k) {
            for (std::size_t m = k - count; m > 1; --m) mask &= mask - 1;
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
        }
        count += here;
    }
    for (; i < n; ++i)
        if (p[i] == '\n' && ++count == k) return i;
    seen = count;
    return n;
}

__attribute__((target("avx2,popcnt"))) std::size_t nthFeedBackAvx2(const char* p, std::size_t n, std::size_t k) {
    const __m256i lf = _mm256_set1_epi8('\n');
    std::size_t end = n, count = 0;
    for (; end >= 32; end -= 32) {
        unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(
            _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + end - 32)), lf)));
        const std::size_t here = static_cast<std::size_t>(__builtin_popcount(mask));
        if (count + here >= k) {
            for (std::size_t m = k - count; m > 1; --m) mask &= ~(1u << (31 - __builtin_clz(mask)));
            return end - 32 + 31 - static_cast<std::size_t>(__builtin_clz(mask));
        }
        count += here;
    }
    while (end > 0)
        if (p[--end] == '\n' && ++count == k) return end;
    return n;
}
#endif

}  // namespace

std::size_t nthFeed(const char* p, std::size_t n, std::size_t k, std::size_t& seen) {
    seen = 0;
#if defined(__x86_64__)
    if (hasAvx2()) return nthFeedAvx2(p, n, k, seen);
#endif
    for (std::size_t i = 0; i < n;) {
        const void* lf = std::memchr(p + i, '\n', n - i);
        if (!lf) break;
        i = static_cast<std::size_t>(static_cast<const char*>(lf) - p);
        if (++seen == k) return i;
        ++i;
    }
    return n;
}

std::size_t nthFeedBack(const char* p, std::size_t n, std::size_t k) {
#if defined(__x86_64__)
    if (hasAvx2()) return nthFeedBackAvx2(p, n, k);
#endif
    std::size_t count = 0;
    for (std::size_t end = n; end > 0;) {
        const void* lf = memrchr(p, '\n', end);
        if (!lf) break;
        end = static_cast<std::size_t>(static_cast<const char*>(lf) - p);
        if (++count == k) return end;
    }
    return n;
}

SpanScan scanSpan(const char* p, std::size_t n) {
#if defined(__x86_64__)
    return hasAvx2() ? scanAvx2(p, n) : scanSse2(p, n);
#else
    SpanScan out;
    scanTail(p, 0, n, out);
    return out;
#endif
}

bool holdsEither(std::string_view text, char a, char b) {
#if defined(__x86_64__)
    if (hasAvx2()) return eitherAvx2(text.data(), text.size(), a, b);
#endif
    return std::memchr(text.data(), a, text.size()) || std::memchr(text.data(), b, text.size());
}

}  // namespace vsr::engine
