#include "engine/query/term_scanner.h"

#include <cstdint>
#include <cstring>

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

inline bool sameText(const char* at, const char* term, std::size_t m, const unsigned char* table) {
    if (!table) return std::memcmp(at, term, m) == 0;
    for (std::size_t i = 0; i < m; ++i)
        if (table[static_cast<unsigned char>(at[i])] != static_cast<unsigned char>(term[i])) return false;
    return true;
}

struct ScanArgs {
    const char* hay;
    std::size_t n;
    std::size_t lastStart;  // inclusive
    const char* term;
    std::size_t m;
    const unsigned char* table;  // null when case sensitive
    std::size_t off[3];
    unsigned char a[3], b[3];
};

#if defined(__x86_64__)
// The candidate filter 32 bytes at a time, for processors with AVX2 (checked at run time).
// `Two`: some probe has two forms (a case-insensitive letter). Returns the first match, or
// npos with `s` left where the next loop must go on.
template <bool Two>
__attribute__((target("avx2"))) std::size_t scanAvx2(const ScanArgs& x, std::size_t& s) {
    const __m256i a0 = _mm256_set1_epi8(static_cast<char>(x.a[0])), b0 = _mm256_set1_epi8(static_cast<char>(x.b[0]));
    const __m256i a1 = _mm256_set1_epi8(static_cast<char>(x.a[1])), b1 = _mm256_set1_epi8(static_cast<char>(x.b[1]));
    const __m256i a2 = _mm256_set1_epi8(static_cast<char>(x.a[2])), b2 = _mm256_set1_epi8(static_cast<char>(x.b[2]));
    const std::size_t o0 = x.off[0], o1 = x.off[1], o2 = x.off[2];
    std::size_t maxOff = o0 > o1 ? o0 : o1;
    if (o2 > maxOff) maxOff = o2;
    while (s + 31 <= x.lastStart && s + 31 + maxOff < x.n) {
        const char* p = x.hay + s;
        __m256i v0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + o0));
        __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + o1));
        __m256i v2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + o2));
        __m256i e0 = _mm256_cmpeq_epi8(v0, a0), e1 = _mm256_cmpeq_epi8(v1, a1), e2 = _mm256_cmpeq_epi8(v2, a2);
        if constexpr (Two) {
            e0 = _mm256_or_si256(e0, _mm256_cmpeq_epi8(v0, b0));
            e1 = _mm256_or_si256(e1, _mm256_cmpeq_epi8(v1, b1));
            e2 = _mm256_or_si256(e2, _mm256_cmpeq_epi8(v2, b2));
        }
        unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(_mm256_and_si256(e0, e1), e2)));
        while (mask) {
            std::size_t cand = s + static_cast<std::size_t>(__builtin_ctz(mask));
            if (sameText(x.hay + cand, x.term, x.m, x.table)) return cand;
            mask &= mask - 1;
        }
        s += 32;
    }
    return std::string_view::npos;
}

bool hasAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}

// The same filter 16 bytes at a time with SSE2, which every x86-64 processor has.
std::size_t scanSse2(const ScanArgs& x, std::size_t& s) {
    __m128i va[3], vb[3];
    std::size_t maxOff = 0;
    for (int k = 0; k < 3; ++k) {
        va[k] = _mm_set1_epi8(static_cast<char>(x.a[k]));
        vb[k] = _mm_set1_epi8(static_cast<char>(x.b[k]));
        if (x.off[k] > maxOff) maxOff = x.off[k];
    }
    while (s + 15 <= x.lastStart && s + 15 + maxOff < x.n) {
        __m128i hit = _mm_set1_epi8(-1);
        for (int k = 0; k < 3; ++k) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x.hay + s + x.off[k]));
            hit = _mm_and_si128(hit, _mm_or_si128(_mm_cmpeq_epi8(v, va[k]), _mm_cmpeq_epi8(v, vb[k])));
        }
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        while (mask) {
            std::size_t cand = s + static_cast<std::size_t>(__builtin_ctz(mask));
            if (sameText(x.hay + cand, x.term, x.m, x.table)) return cand;
            mask &= mask - 1;
        }
        s += 16;
    }
    return std::string_view::npos;
}
#endif

}  // namespace

TermScanner::TermScanner(std::string_view term, bool wholeWords, const platform::CodePage& page, bool ignoreCase)
    : term_(term), wholeWords_(wholeWords), ignoreCase_(ignoreCase), page_(page) {
    const auto& table = page.upperTable();
    // The text bytes that stand for term byte t: t itself, or with ignoreCase every byte
    // whose upper case is t. A position with more than two such bytes can't be a probe.
    auto variants = [&](std::size_t i, Probe& p) {
        unsigned char t = static_cast<unsigned char>(term_[i]);
        p.offset = i;
        if (!ignoreCase_) {
            p.a = p.b = t;
            return 1;
        }
        int n = 0;
        for (int c = 0; c < 256; ++c) {
            if (table[c] != t) continue;
            if (n == 0) p.a = static_cast<unsigned char>(c);
            if (n == 1) p.b = static_cast<unsigned char>(c);
            ++n;
        }
        if (n == 1) p.b = p.a;
        return n;
    };
    auto cost = [&](std::size_t i) {
        Probe p;
        int n = variants(i, p);
        if (n == 0 || n > 2) return 1 << 20;
        return ranks().rank[p.a] + (n == 2 ? ranks().rank[p.b] : 0);
    };
    const std::size_t m = term_.size();
    if (m == 0) return;
    std::size_t best = SIZE_MAX, second = SIZE_MAX;
    int bestCost = 1 << 20, secondCost = 1 << 20;
    for (std::size_t i = 0; i < m; ++i) {
        int c = cost(i);
        if (c >= (1 << 20)) continue;
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
    if (best == SIZE_MAX) return;  // no usable position: compare at every offset
    if (second == SIZE_MAX) second = best;
    // The third probe: an end of the term not chosen yet (the ends of a word differ most
    // between similar words), else a repeat of the best.
    std::size_t third = best;
    for (std::size_t end : {m - 1, std::size_t{0}})
        if (end != best && end != second && cost(end) < (1 << 20)) {
            third = end;
            break;
        }
    variants(best, probes_[0]);
    variants(second, probes_[1]);
    variants(third, probes_[2]);
    probed_ = true;
}

bool TermScanner::equalAt(const char* at) const {
    return sameText(at, term_.data(), term_.size(), ignoreCase_ ? page_.upperTable().data() : nullptr);
}

std::size_t TermScanner::scanScalar(const char* hay, std::size_t s, std::size_t lastStart) const {
    if (!probed_) {
        for (; s <= lastStart; ++s)
            if (equalAt(hay + s)) return s;
        return std::string_view::npos;
    }
    const Probe& p = probes_[0];
    if (p.a == p.b) {
        // memchr for the rarest byte, then verify.
        while (s <= lastStart) {
            const void* hit = std::memchr(hay + s + p.offset, p.a, lastStart - s + 1);
            if (!hit) return std::string_view::npos;
            std::size_t cand = static_cast<std::size_t>(static_cast<const char*>(hit) - hay) - p.offset;
            if (equalAt(hay + cand)) return cand;
            s = cand + 1;
        }
        return std::string_view::npos;
    }
    for (; s <= lastStart; ++s) {
        unsigned char c = static_cast<unsigned char>(hay[s + p.offset]);
        if ((c == p.a || c == p.b) && equalAt(hay + s)) return s;
    }
    return std::string_view::npos;
}

std::size_t TermScanner::find(std::string_view text, std::size_t from, std::size_t startLimit) const {
    const std::size_t m = term_.size();
    const std::size_t n = text.size();
    if (m == 0 || m > n || startLimit == 0) return std::string_view::npos;
    std::size_t lastStart = n - m;  // inclusive
    if (startLimit <= lastStart) lastStart = startLimit - 1;
    if (from > lastStart) return std::string_view::npos;
    std::size_t s = from;
#if defined(__x86_64__)
    if (probed_ && lastStart - s >= 16) {
        ScanArgs x{text.data(), n, lastStart, term_.data(), m,
                   ignoreCase_ ? page_.upperTable().data() : nullptr, {}, {}, {}};
        for (int k = 0; k < 3; ++k) {
            x.off[k] = probes_[k].offset;
            x.a[k] = probes_[k].a;
            x.b[k] = probes_[k].b;
        }
        bool two = false;
        for (int k = 0; k < 3; ++k) two = two || x.a[k] != x.b[k];
        std::size_t hit = std::string_view::npos;
        if (hasAvx2()) hit = two ? scanAvx2<true>(x, s) : scanAvx2<false>(x, s);
        if (hit == std::string_view::npos) hit = scanSse2(x, s);
        if (hit != std::string_view::npos) return hit;
    }
#endif
    return scanScalar(text.data(), s, lastStart);
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
