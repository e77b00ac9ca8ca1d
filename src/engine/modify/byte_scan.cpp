#include "engine/modify/byte_scan.h"

#include <cstring>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vsr::engine {
namespace {

std::size_t countTail(const char* p, std::size_t i, std::size_t n, std::size_t count) {
    for (; i < n; ++i) count += p[i] == '\n';
    return count;
}

#if defined(__x86_64__)
bool hasAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}

// Each block of up to 255 x 32 bytes adds its matches up bytewise, then sums them.
__attribute__((target("avx2"))) std::size_t countAvx2(const char* p, std::size_t n) {
    std::size_t count = 0, i = 0;
    const __m256i lf = _mm256_set1_epi8('\n');
    while (i + 32 <= n) {
        __m256i sums = _mm256_setzero_si256();
        for (int k = 0; k < 255 && i + 32 <= n; ++k, i += 32) {
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
            sums = _mm256_sub_epi8(sums, _mm256_cmpeq_epi8(bytes, lf));
        }
        const __m256i wide = _mm256_sad_epu8(sums, _mm256_setzero_si256());
        count += static_cast<std::size_t>(_mm256_extract_epi64(wide, 0)) +
                 static_cast<std::size_t>(_mm256_extract_epi64(wide, 1)) +
                 static_cast<std::size_t>(_mm256_extract_epi64(wide, 2)) +
                 static_cast<std::size_t>(_mm256_extract_epi64(wide, 3));
    }
    return countTail(p, i, n, count);
}

std::size_t countSse2(const char* p, std::size_t n) {
    std::size_t count = 0, i = 0;
    const __m128i lf = _mm_set1_epi8('\n');
    while (i + 16 <= n) {
        __m128i sums = _mm_setzero_si128();
        for (int k = 0; k < 255 && i + 16 <= n; ++k, i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            sums = _mm_sub_epi8(sums, _mm_cmpeq_epi8(bytes, lf));
        }
        const __m128i wide = _mm_sad_epu8(sums, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(wide)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(wide, 8)));
    }
    return countTail(p, i, n, count);
}

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
#endif

}  // namespace

std::size_t countLineFeeds(const char* p, std::size_t n) {
#if defined(__x86_64__)
    return hasAvx2() ? countAvx2(p, n) : countSse2(p, n);
#else
    return countTail(p, 0, n, 0);
#endif
}

bool holdsEither(std::string_view text, char a, char b) {
#if defined(__x86_64__)
    if (hasAvx2()) return eitherAvx2(text.data(), text.size(), a, b);
#endif
    return std::memchr(text.data(), a, text.size()) || std::memchr(text.data(), b, text.size());
}

}  // namespace vsr::engine
