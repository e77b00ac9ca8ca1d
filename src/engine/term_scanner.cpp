#include <cstdint>
#include <cstring>

#include "engine/term_scanner.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vsr::engine {
namespace {

// Rough frequency rank of each byte in source code and prose (higher = more common), used to
// pick the term bytes least likely to occur so the scan stops at few false candidates.
struct ByteRanks {
    int rank[256];
    ByteRanks() {
        static const char common[] = " etaoinsrhldcumfpgwybvkxjqz";
        for (int c = 0; c < 256; ++c) rank[c] = c < 128 ? 80 : 20;
        for (int i = 0; common[i]; ++i) {
            int r = 200 - i * 4;
            unsigned char lower = static_cast<unsigned char>(common[i]);
            rank[lower] = r;
            if (lower >= 'a' && lower <= 'z') rank[lower - 32] = r / 3;
        }
        rank[' '] = 255;
        rank['\t'] = 220;
        for (int c = '0'; c <= '9'; ++c) rank[c] = 120;
        for (unsigned char c : {'_', '(', ')', ';', ',', '.', '=', '*', '-', '>', '{', '}'}) rank[c] = 110;
    }
};

const ByteRanks& ranks() {
    static const ByteRanks r;
    return r;
}

#if defined(__x86_64__)
// The candidate filter 32 bytes at a time, for processors with AVX2 (checked at run time).
__attribute__((target("avx2"))) std::size_t scanAvx2(const char* hay, std::size_t n, std::size_t s,
                                                    std::size_t lastStart, std::size_t r1, std::size_t r2,
                                                    const unsigned char* v1, const unsigned char* v2,
                                                    bool (*verify)(const void*, const char*), const void* self,
                                                    std::size_t& resume) {
    const __m256i va1 = _mm256_set1_epi8(static_cast<char>(v1[0])), vb1 = _mm256_set1_epi8(static_cast<char>(v1[1]));
    const __m256i va2 = _mm256_set1_epi8(static_cast<char>(v2[0])), vb2 = _mm256_set1_epi8(static_cast<char>(v2[1]));
    const std::size_t maxRare = r1 > r2 ? r1 : r2;
    while (s + 31 <= lastStart && s + 31 + maxRare < n) {
        __m256i x1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(hay + s + r1));
        __m256i x2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(hay + s + r2));
        __m256i c1 = _mm256_or_si256(_mm256_cmpeq_epi8(x1, va1), _mm256_cmpeq_epi8(x1, vb1));
        __m256i c2 = _mm256_or_si256(_mm256_cmpeq_epi8(x2, va2), _mm256_cmpeq_epi8(x2, vb2));
        unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(c1, c2)));
        while (mask) {
            std::size_t cand = s + static_cast<std::size_t>(__builtin_ctz(mask));
            if (verify(self, hay + cand)) return cand;
            mask &= mask - 1;
        }
        s += 32;
    }
    resume = s;
    return std::string_view::npos;
}

bool hasAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}
#endif

}  // namespace

TermScanner::TermScanner(std::string_view term, bool wholeWords, const platform::CodePage& page, bool ignoreCase)
    : term_(term), wholeWords_(wholeWords), ignoreCase_(ignoreCase), page_(page) {
    const auto& table = page.upperTable();
    // The text bytes that stand for term byte t: t itself, or with ignoreCase every byte
    // whose upper case is t. A position with more than two such bytes can't drive the scan.
    auto variants = [&](unsigned char t, unsigned char out[2]) {
        if (!ignoreCase_) {
            out[0] = out[1] = t;
            return 1;
        }
        int n = 0;
        for (int b = 0; b < 256; ++b) {
            if (table[b] != t) continue;
            if (n < 2) out[n] = static_cast<unsigned char>(b);
            ++n;
        }
        if (n == 1) out[1] = out[0];
        return n;
    };
    auto cost = [&](std::size_t i) {
        unsigned char v[2];
        int n = variants(static_cast<unsigned char>(term_[i]), v);
        if (n == 0 || n > 2) return 1 << 20;
        int r = ranks().rank[v[0]];
        if (n == 2) r += ranks().rank[v[1]];
        return r;
    };
    std::size_t best = 0, second = 0;
    int bestCost = 1 << 30, secondCost = 1 << 30;
    for (std::size_t i = 0; i < term_.size(); ++i) {
        int c = cost(i);
        if (c < bestCost) {
            second = best;
            secondCost = bestCost;
            best = i;
            bestCost = c;
        } else if (c < secondCost) {
            second = i;
            secondCost = c;
        }
    }
    if (term_.size() < 2) second = best;
    rare1_ = best;
    rare2_ = second;
    if (!term_.empty()) {
        variants(static_cast<unsigned char>(term_[rare1_]), rare1Bytes_);
        variants(static_cast<unsigned char>(term_[rare2_]), rare2Bytes_);
        // A term of bytes with many lower-case forms only: compare every position instead.
        if (bestCost >= (1 << 20)) {
            rare1_ = SIZE_MAX;
            rare2_ = SIZE_MAX;
        }
    }
}

bool TermScanner::equalAt(const char* at) const {
    if (!ignoreCase_) return std::memcmp(at, term_.data(), term_.size()) == 0;
    const auto& table = page_.upperTable();
    for (std::size_t i = 0; i < term_.size(); ++i)
        if (table[static_cast<unsigned char>(at[i])] != static_cast<unsigned char>(term_[i])) return false;
    return true;
}

std::size_t TermScanner::find(std::string_view text, std::size_t from, std::size_t startLimit) const {
    const std::size_t m = term_.size();
    const std::size_t n = text.size();
    if (m == 0 || m > n || startLimit == 0) return std::string_view::npos;
    std::size_t lastStart = n - m;  // inclusive
    if (startLimit <= lastStart) lastStart = startLimit - 1;
    if (from > lastStart) return std::string_view::npos;
    const char* hay = text.data();
    std::size_t s = from;
    if (rare1_ == SIZE_MAX) {
        for (; s <= lastStart; ++s)
            if (equalAt(hay + s)) return s;
        return std::string_view::npos;
    }
    const unsigned char a1 = rare1Bytes_[0], b1 = rare1Bytes_[1];
    const unsigned char a2 = rare2Bytes_[0], b2 = rare2Bytes_[1];
#if defined(__x86_64__)
    if (hasAvx2()) {
        std::size_t resume = s;
        auto verify = [](const void* self, const char* at) { return static_cast<const TermScanner*>(self)->equalAt(at); };
        std::size_t hit = scanAvx2(hay, n, s, lastStart, rare1_, rare2_, rare1Bytes_, rare2Bytes_, verify, this, resume);
        if (hit != std::string_view::npos) return hit;
        s = resume;
    }
    {
        const __m128i va1 = _mm_set1_epi8(static_cast<char>(a1)), vb1 = _mm_set1_epi8(static_cast<char>(b1));
        const __m128i va2 = _mm_set1_epi8(static_cast<char>(a2)), vb2 = _mm_set1_epi8(static_cast<char>(b2));
        // Candidate starts s..s+15 need bytes up to s+15+max(rare) inside the text.
        const std::size_t maxRare = rare1_ > rare2_ ? rare1_ : rare2_;
        while (s + 15 <= lastStart && s + 15 + maxRare < n) {
            __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + s + rare1_));
            __m128i x2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + s + rare2_));
            __m128i c1 = _mm_or_si128(_mm_cmpeq_epi8(x1, va1), _mm_cmpeq_epi8(x1, vb1));
            __m128i c2 = _mm_or_si128(_mm_cmpeq_epi8(x2, va2), _mm_cmpeq_epi8(x2, vb2));
            unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(c1, c2)));
            while (mask) {
                std::size_t cand = s + static_cast<std::size_t>(__builtin_ctz(mask));
                if (equalAt(hay + cand)) return cand;
                mask &= mask - 1;
            }
            s += 16;
        }
    }
#endif
    if (a1 == b1) {
        // memchr for the rarest byte, then verify.
        while (s <= lastStart) {
            const void* hit = std::memchr(hay + s + rare1_, a1, lastStart - s + 1);
            if (!hit) return std::string_view::npos;
            std::size_t cand = static_cast<std::size_t>(static_cast<const char*>(hit) - hay) - rare1_;
            if (equalAt(hay + cand)) return cand;
            s = cand + 1;
        }
        return std::string_view::npos;
    }
    for (; s <= lastStart; ++s) {
        unsigned char c = static_cast<unsigned char>(hay[s + rare1_]);
        if ((c == a1 || c == b1) && equalAt(hay + s)) return s;
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
