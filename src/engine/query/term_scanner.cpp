#include "engine/query/term_scanner.h"

#include <cstdint>
#include <cstring>

#include "engine/query/cpu_features.h"
#include "text/unicode_tables.h"
#include "text/utf8.h"

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
        for (unsigned char c : {'(', ')', ';', ',', '.', '=', '*', '-', '>', '{', '}'}) rank[c] = 110;
        // Names in source code join their words with it: about as common as a middling letter.
        rank['_'] = 160;
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

// The end of an occurrence of the folded characters `keys` at `pos` of UTF-8 text, or npos.
// ASCII bytes fold through `ascii` (the page's byte table), the rest by decoding.
std::size_t foldedEnd(const std::vector<char32_t>& keys, const char* hay, std::size_t n, std::size_t pos,
                      const unsigned char* ascii) {
    const auto* p = reinterpret_cast<const unsigned char*>(hay);
    std::size_t i = pos;
    for (char32_t k : keys) {
        if (i >= n) return std::string_view::npos;
        const unsigned char b = p[i];
        char32_t cp;
        if (b < 0x80) {
            cp = ascii[b];
            ++i;
        } else {
            i += text::utf8::decode(p + i, n - i, cp);
            cp = text::unicode::fold(cp);
        }
        if (cp != k) return std::string_view::npos;
    }
    return i;
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
    const std::vector<char32_t>* keys;  // non-null: compare folded characters
};

inline bool verify(const ScanArgs& x, std::size_t cand) {
    if (x.keys) return foldedEnd(*x.keys, x.hay, x.n, cand, x.table) != std::string_view::npos;
    return sameText(x.hay + cand, x.term, x.m, x.table);
}

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
            if (verify(x, cand)) return cand;
            mask &= mask - 1;
        }
        s += 32;
    }
    return std::string_view::npos;
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
            if (verify(x, cand)) return cand;
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
    bool ascii = true;
    for (char ch : term_) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
    // An ASCII term needs no decoding: under UTF-8 the byte table folds ASCII alone, and a
    // byte above ASCII never equals a term byte.
    if (page.isUtf8() && ignoreCase && !ascii) {
        for (std::size_t i = 0; i < term_.size();) {
            char32_t cp;
            i += text::utf8::decode(term_, i, cp);
            keys_.push_back(text::unicode::fold(cp));
        }
    }
    chooseProbes();
}

void TermScanner::chooseProbes() {
    // A probe candidate: a fixed offset from the start of an occurrence and the one or two
    // text bytes that may stand there.
    struct Cand {
        std::size_t offset;
        unsigned char a, b;
        int forms;
    };
    std::vector<Cand> cands;
    const auto& table = page_.upperTable();
    if (keys_.empty()) {
        for (std::size_t i = 0; i < term_.size(); ++i) {
            unsigned char t = static_cast<unsigned char>(term_[i]);
            if (!ignoreCase_) {
                cands.push_back({i, t, t, 1});
                continue;
            }
            // Every byte whose upper case is t; more than two forms can't be a probe.
            int n = 0;
            Cand cd{i, 0, 0, 0};
            for (int c = 0; c < 256; ++c) {
                if (table[c] != t) continue;
                if (n == 0) cd.a = static_cast<unsigned char>(c);
                if (n == 1) cd.b = static_cast<unsigned char>(c);
                ++n;
            }
            if (n == 1) cd.b = cd.a;
            cd.forms = n;
            if (n == 1 || n == 2) cands.push_back(cd);
        }
    } else {
        // The offsets stay fixed while every character of the term has all its case forms of
        // one length; a byte position where the forms differ in at most two bytes is a probe.
        bool fixed = true;
        std::size_t offset = 0;
        minLength_ = 0;
        for (char32_t k : keys_) {
            std::vector<std::string> forms;
            for (const text::unicode::CaseMember& cm : text::unicode::caseMembers(k)) {
                forms.emplace_back();
                text::utf8::append(forms.back(), cm.member);
            }
            if (forms.empty()) {
                forms.emplace_back();
                text::utf8::append(forms.back(), k);
            }
            std::size_t shortest = forms[0].size();
            bool sameLength = true;
            for (const std::string& f : forms) {
                shortest = f.size() < shortest ? f.size() : shortest;
                sameLength = sameLength && f.size() == forms[0].size();
            }
            minLength_ += shortest;
            if (!fixed) continue;
            if (!sameLength) {
                fixed = false;
                continue;
            }
            for (std::size_t j = 0; j < forms[0].size(); ++j) {
                Cand cd{offset + j, static_cast<unsigned char>(forms[0][j]), static_cast<unsigned char>(forms[0][j]), 1};
                for (const std::string& f : forms) {
                    unsigned char v = static_cast<unsigned char>(f[j]);
                    if (v == cd.a || (cd.forms == 2 && v == cd.b)) continue;
                    cd.b = v;
                    ++cd.forms;
                    if (cd.forms > 2) break;
                }
                if (cd.forms <= 2) cands.push_back(cd);
            }
            offset += forms[0].size();
        }
    }
    if (cands.empty()) return;  // no usable position: compare at every offset
    auto cost = [&](const Cand& cd) { return ranks().rank[cd.a] + (cd.forms == 2 ? ranks().rank[cd.b] : 0); };
    std::size_t best = 0, second = SIZE_MAX;
    for (std::size_t i = 1; i < cands.size(); ++i) {
        if (cost(cands[i]) < cost(cands[best])) {
            second = best;
            best = i;
        } else if (second == SIZE_MAX || cost(cands[i]) < cost(cands[second])) {
            second = i;
        }
    }
    if (second == SIZE_MAX) second = best;
    // The third probe: an end of the term not chosen yet (the ends of a word differ most
    // between similar words), else a repeat of the best.
    std::size_t third = best;
    for (std::size_t end : {cands.size() - 1, std::size_t{0}})
        if (end != best && end != second) {
            third = end;
            break;
        }
    std::size_t chosen[3] = {best, second, third};
    for (int k = 0; k < 3; ++k) probes_[k] = {cands[chosen[k]].offset, cands[chosen[k]].a, cands[chosen[k]].b};
    probed_ = true;
}

bool TermScanner::equalAt(const char* hay, std::size_t n, std::size_t at) const {
    if (!keys_.empty()) return foldedEnd(keys_, hay, n, at, page_.upperTable().data()) != std::string_view::npos;
    return sameText(hay + at, term_.data(), term_.size(), ignoreCase_ ? page_.upperTable().data() : nullptr);
}

std::size_t TermScanner::scanScalar(const char* hay, std::size_t n, std::size_t s, std::size_t lastStart) const {
    if (!probed_) {
        for (; s <= lastStart; ++s)
            if (equalAt(hay, n, s)) return s;
        return std::string_view::npos;
    }
    const Probe& p = probes_[0];
    if (p.a == p.b) {
        // memchr for the rarest byte, then verify.
        while (s <= lastStart) {
            const void* hit = std::memchr(hay + s + p.offset, p.a, lastStart - s + 1);
            if (!hit) return std::string_view::npos;
            std::size_t cand = static_cast<std::size_t>(static_cast<const char*>(hit) - hay) - p.offset;
            if (equalAt(hay, n, cand)) return cand;
            s = cand + 1;
        }
        return std::string_view::npos;
    }
    for (; s <= lastStart; ++s) {
        unsigned char c = static_cast<unsigned char>(hay[s + p.offset]);
        if ((c == p.a || c == p.b) && equalAt(hay, n, s)) return s;
    }
    return std::string_view::npos;
}

std::size_t TermScanner::find(std::string_view text, std::size_t from, std::size_t startLimit) const {
    const std::size_t m = keys_.empty() ? term_.size() : minLength_;
    const std::size_t n = text.size();
    if (m == 0 || m > n || startLimit == 0) return std::string_view::npos;
    std::size_t lastStart = n - m;  // inclusive
    if (startLimit <= lastStart) lastStart = startLimit - 1;
    if (from > lastStart) return std::string_view::npos;
    std::size_t s = from;
#if defined(__x86_64__)
    if (probed_ && lastStart - s >= 16) {
        ScanArgs x{text.data(), n, lastStart, term_.data(), m,
                   ignoreCase_ ? page_.upperTable().data() : nullptr, {}, {}, {},
                   keys_.empty() ? nullptr : &keys_};
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
    return scanScalar(text.data(), n, s, lastStart);
}

bool TermScanner::counted(std::string_view text, std::size_t p, std::size_t e) const {
    // Under UTF-8 an occurrence neither starts nor ends inside a character.
    if (page_.isUtf8() && !(page_.isCharStart(text, p) && page_.isCharStart(text, e))) return false;
    return !wholeWords_ || (!page_.wordCharBefore(text, p) && !page_.wordCharAt(text, e));
}

bool TermScanner::occursAt(std::string_view text, std::size_t p, std::size_t& end) const {
    const std::size_t n = text.size();
    std::size_t e;
    if (keys_.empty()) {
        if (term_.empty() || p > n || n - p < term_.size() || !equalAt(text.data(), n, p)) return false;
        e = p + term_.size();
    } else {
        e = foldedEnd(keys_, text.data(), n, p, page_.upperTable().data());
        if (e == std::string_view::npos) return false;
    }
    if (!counted(text, p, e)) return false;
    end = e;
    return true;
}

std::size_t TermScanner::next(std::string_view text, std::size_t from, std::size_t startLimit,
                              std::size_t* end) const {
    for (;;) {
        std::size_t p = find(text, from, startLimit);
        if (p == std::string_view::npos) return p;
        std::size_t e = keys_.empty() ? p + term_.size()
                                      : foldedEnd(keys_, text.data(), text.size(), p, page_.upperTable().data());
        if (counted(text, p, e)) {
            if (end) *end = e;
            return p;
        }
        from = p + 1;  // a rejected occurrence: go on one character after its start
    }
}

}  // namespace vsr::engine
