#include <cstring>

#include "engine/line_matcher.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vsr::engine {
namespace {

// Rough frequency rank of each byte in source code and prose (higher = more common), used to
// pick the term bytes least likely to occur so the scan stops at few false candidates.
int byteRank(unsigned char c, bool folded) {
    static const char* common = " etaoinsrhldcumfpgwybvkxjqz";
    if (c >= 'a' && c <= 'z') {
        const char* p = std::strchr(common, c);
        return 200 - static_cast<int>(p - common) * 4;
    }
    if (c >= 'A' && c <= 'Z') {
        const char* p = std::strchr(common, c - 'A' + 'a');
        int lower = 200 - static_cast<int>(p - common) * 4;
        return folded ? lower + 10 : lower / 3;
    }
    if (c == ' ') return 255;
    if (c == '\t' || c == '\n') return 220;
    if (c >= '0' && c <= '9') return 120;
    if (c == '_' || c == '(' || c == ')' || c == ';' || c == ',' || c == '.' || c == '=' || c == '*') return 110;
    if (c < 128) return 80;
    return 20;
}

}  // namespace

TermScanner::TermScanner(std::string_view term, bool wholeWords, const platform::CodePage& page, bool folded)
    : term_(term), wholeWords_(wholeWords), page_(page) {
    // The two rarest bytes at different offsets drive the vector scan.
    std::size_t best = 0, second = term.size() > 1 ? 1 : 0;
    auto rank = [&](std::size_t i) { return byteRank(static_cast<unsigned char>(term[i]), folded); };
    if (term.size() > 1 && rank(second) < rank(best)) std::swap(best, second);
    for (std::size_t i = 2; i < term.size(); ++i) {
        if (rank(i) < rank(best)) {
            second = best;
            best = i;
        } else if (rank(i) < rank(second)) {
            second = i;
        }
    }
    rare1_ = best;
    rare2_ = second;
}

std::size_t TermScanner::find(std::string_view text, std::size_t from, std::size_t startLimit) const {
    const std::size_t m = term_.size();
    const std::size_t n = text.size();
    if (m == 0 || m > n) return std::string_view::npos;
    std::size_t lastStart = n - m;  // inclusive
    if (startLimit <= lastStart) lastStart = startLimit - 1;
    if (startLimit == 0 || from > lastStart) return std::string_view::npos;
    const char* hay = text.data();
    const char* needle = term_.data();
    const unsigned char b1 = static_cast<unsigned char>(needle[rare1_]);
    const unsigned char b2 = static_cast<unsigned char>(needle[rare2_]);
    std::size_t s = from;
#if defined(__SSE2__)
    if (m > 1) {
        const __m128i v1 = _mm_set1_epi8(static_cast<char>(b1));
        const __m128i v2 = _mm_set1_epi8(static_cast<char>(b2));
        // Candidate starts s..s+15 need bytes up to s+15+max(rare) inside the text.
        const std::size_t maxRare = rare1_ > rare2_ ? rare1_ : rare2_;
        while (s + 15 <= lastStart && s + 15 + maxRare < n) {
            __m128i c1 = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + s + rare1_)), v1);
            __m128i c2 = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + s + rare2_)), v2);
            unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(c1, c2)));
            while (mask) {
                std::size_t cand = s + static_cast<std::size_t>(__builtin_ctz(mask));
                if (std::memcmp(hay + cand, needle, m) == 0) return cand;
                mask &= mask - 1;
            }
            s += 16;
        }
    }
#endif
    // Scalar tail (and non-x86 builds): memchr for the rarest byte, then verify.
    while (s <= lastStart) {
        const void* hit = std::memchr(hay + s + rare1_, b1, lastStart - s + 1);
        if (!hit) return std::string_view::npos;
        std::size_t cand = static_cast<std::size_t>(static_cast<const char*>(hit) - hay) - rare1_;
        if (static_cast<unsigned char>(hay[cand + rare2_]) == b2 && std::memcmp(hay + cand, needle, m) == 0)
            return cand;
        s = cand + 1;
    }
    return std::string_view::npos;
}

std::size_t TermScanner::next(std::string_view text, std::size_t from, std::size_t startLimit) const {
    for (;;) {
        std::size_t p = find(text, from, startLimit);
        if (p == std::string_view::npos || !wholeWords_) return p;
        std::size_t end = p + term_.size();
        bool before = p == 0 || !page_.isWordChar(static_cast<unsigned char>(text[p - 1]));
        bool after = end >= text.size() || !page_.isWordChar(static_cast<unsigned char>(text[end]));
        if (before && after) return p;
        from = p + 1;  // a rejected occurrence: go on one character after its start
    }
}

}  // namespace vsr::engine
