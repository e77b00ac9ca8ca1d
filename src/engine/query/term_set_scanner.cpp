#include "engine/query/term_set_scanner.h"

#include <utility>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vsr::engine {

namespace {

// Every occurrence of term `t` that starts in [from, to), scalar, through the term's own scanner.
void scanTail(const TermScanner& scanner, std::uint32_t i, std::string_view text, std::size_t from, std::size_t to,
              std::size_t& next, std::vector<TermHit>& hits) {
    std::size_t p = from > next ? from : next;
    std::size_t end = 0;
    while (p < to && (p = scanner.next(text, p, to, &end)) != std::string_view::npos) {
        hits.push_back({i, p, end});
        next = end;
        p = end;
    }
}

#if defined(__x86_64__)
// The blocks of 32 starts from `s` while every probe load stays inside the text; returns where
// the blocks stopped. Each term is tested at its two rarest probe positions; the masks of all
// terms are joined, so a block without a candidate costs one test. `K` terms, `Two`: some
// probe has two forms (a letter when the case does not matter).
template <std::size_t K, bool Two>
__attribute__((target("avx2"))) std::size_t scanBlocks(const std::vector<TermScanner>& scanners,
                                                      const std::vector<std::size_t>& terms, std::size_t maxOffset,
                                                      std::string_view text, std::size_t s, std::size_t to,
                                                      std::vector<std::size_t>& next, std::vector<TermHit>& hits) {
    __m256i a0[K], b0[K], a1[K], b1[K];
    std::size_t o0[K], o1[K];
    for (std::size_t i = 0; i < K; ++i) {
        const TermScanner::Probe* p = scanners[terms[i]].probes();
        a0[i] = _mm256_set1_epi8(static_cast<char>(p[0].a));
        b0[i] = _mm256_set1_epi8(static_cast<char>(p[0].b));
        a1[i] = _mm256_set1_epi8(static_cast<char>(p[1].a));
        b1[i] = _mm256_set1_epi8(static_cast<char>(p[1].b));
        o0[i] = p[0].offset;
        o1[i] = p[1].offset;
    }
    const char* hay = text.data();
    const std::size_t n = text.size();
    while (s + 32 <= to && s + 32 + maxOffset <= n) {
        unsigned masks[K];
        unsigned any = 0;
#pragma GCC unroll 8
        for (std::size_t i = 0; i < K; ++i) {
            const __m256i v0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(hay + s + o0[i]));
            const __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(hay + s + o1[i]));
            __m256i e0 = _mm256_cmpeq_epi8(v0, a0[i]);
            __m256i e1 = _mm256_cmpeq_epi8(v1, a1[i]);
            if constexpr (Two) {
                e0 = _mm256_or_si256(e0, _mm256_cmpeq_epi8(v0, b0[i]));
                e1 = _mm256_or_si256(e1, _mm256_cmpeq_epi8(v1, b1[i]));
            }
            masks[i] = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(e0, e1)));
            any |= masks[i];
        }
        if (any) {
            for (std::size_t i = 0; i < K; ++i) {
                for (unsigned mask = masks[i]; mask; mask &= mask - 1) {
                    const std::size_t cand = s + static_cast<std::size_t>(__builtin_ctz(mask));
                    std::size_t end = 0;
                    if (cand < next[i] || !scanners[terms[i]].occursAt(text, cand, end)) continue;
                    hits.push_back({static_cast<std::uint32_t>(i), cand, end});
                    next[i] = end;
                }
            }
        }
        s += 32;
    }
    return s;
}

template <std::size_t... Ks>
auto pickBlockScan(std::size_t k, bool two, std::index_sequence<Ks...>) {
    std::size_t (*chosen)(const std::vector<TermScanner>&, const std::vector<std::size_t>&, std::size_t,
                          std::string_view, std::size_t, std::size_t, std::vector<std::size_t>&,
                          std::vector<TermHit>&) = nullptr;
    ((k == Ks + 2 ? (chosen = two ? &scanBlocks<Ks + 2, true> : &scanBlocks<Ks + 2, false>) : chosen), ...);
    return chosen;
}
#endif

}  // namespace

TermSetScanner::TermSetScanner(const std::vector<TermScanner>& scanners, std::vector<std::size_t> terms)
    : scanners_(scanners), terms_(std::move(terms)) {
    if (terms_.size() > kMaxTerms) terms_.resize(kMaxTerms);
    bool two = false;
    for (std::size_t t : terms_) {
        const TermScanner::Probe* p = scanners_[t].probes();
        for (int k = 0; p && k < 2; ++k) {
            maxOffset_ = p[k].offset > maxOffset_ ? p[k].offset : maxOffset_;
            two = two || p[k].a != p[k].b;
        }
    }
#if defined(__x86_64__)
    if (available() && terms_.size() >= 2)
        blocks_ = pickBlockScan(terms_.size(), two, std::make_index_sequence<kMaxTerms - 1>{});
#endif
}

bool TermSetScanner::available() {
#if defined(__x86_64__)
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
#else
    return false;
#endif
}

void TermSetScanner::scan(std::string_view text, std::size_t from, std::size_t to, std::vector<std::size_t>& next,
                          std::vector<TermHit>& hits) const {
    if (to > text.size()) to = text.size();
    next.resize(terms_.size(), 0);
    std::size_t s = from;
#if defined(__x86_64__)
    if (blocks_) s = blocks_(scanners_, terms_, maxOffset_, text, s, to, next, hits);
#endif
    for (std::size_t i = 0; i < terms_.size(); ++i)
        scanTail(scanners_[terms_[i]], static_cast<std::uint32_t>(i), text, s, to, next[i], hits);
}

}  // namespace vsr::engine
