#include "engine/query/case_fold.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vsr::engine {

void foldUpper(const platform::CodePage& page, const char* src, char* dst, std::size_t n) {
    const auto& table = page.upperTable();
    std::size_t i = 0;
#if defined(__SSE2__)
    // Every supported code page maps the ASCII range alike: only a..z change.
    const __m128i lowA = _mm_set1_epi8('a' - 1);
    const __m128i highZ = _mm_set1_epi8('z' + 1);
    const __m128i diff = _mm_set1_epi8(0x20);
    for (; i + 16 <= n; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        if (_mm_movemask_epi8(v) != 0) {
            for (std::size_t j = i; j < i + 16; ++j)
                dst[j] = static_cast<char>(table[static_cast<unsigned char>(src[j])]);
            continue;
        }
        // Signed compares are right here: every byte of this block is below 0x80.
        __m128i isLower = _mm_and_si128(_mm_cmpgt_epi8(v, lowA), _mm_cmplt_epi8(v, highZ));
        v = _mm_sub_epi8(v, _mm_and_si128(isLower, diff));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), v);
    }
#endif
    for (; i < n; ++i) dst[i] = static_cast<char>(table[static_cast<unsigned char>(src[i])]);
}

}  // namespace vsr::engine
