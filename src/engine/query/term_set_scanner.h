#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/query/term_scanner.h"

namespace vsr::engine {

// One counted occurrence of a term of a set.
struct TermHit {
    std::uint32_t term = 0;  // index into the set's terms()
    std::size_t start = 0;
    std::size_t end = 0;
};

// Finds the occurrences of several terms in one pass over a text: each 32 bytes of text are
// tested against the probe bytes of every term of the set at once, and only the candidates are
// compared in full. Terms are independent of each other, so each term's occurrences are exactly
// those TermScanner::next finds one after another: the counts equal those of a pass per term.
class TermSetScanner {
public:
    static constexpr std::size_t kMaxTerms = 8;

    // `terms` (at most kMaxTerms indices into `scanners`, each with probes) make the set.
    TermSetScanner(const std::vector<TermScanner>& scanners, std::vector<std::size_t> terms);

    // The indices into the scanners, in set order.
    const std::vector<std::size_t>& terms() const { return terms_; }
    // Whether the one-pass scan runs on this processor (it needs AVX2); otherwise the caller
    // runs a pass per term.
    static bool available();

    // Appends to `hits` the counted occurrences of the set's terms that start in [from, to),
    // each term's in increasing order, skipping starts before `next[i]` (the end of term i's
    // last occurrence, which it advances). `to` may lie beyond the text.
    void scan(std::string_view text, std::size_t from, std::size_t to, std::vector<std::size_t>& next,
              std::vector<TermHit>& hits) const;

private:
    const std::vector<TermScanner>& scanners_;
    std::vector<std::size_t> terms_;
    std::size_t maxOffset_ = 0;
    // The block scan made for this many terms, when the processor runs it.
    using BlockScan = std::size_t (*)(const std::vector<TermScanner>&, const std::vector<std::size_t>&, std::size_t,
                                      std::string_view, std::size_t, std::size_t, std::vector<std::size_t>&,
                                      std::vector<TermHit>&);
    BlockScan blocks_ = nullptr;
};

}  // namespace vsr::engine
