#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace vsr::engine {

// Finds occurrences of a term in a text as the line matcher counts them: non-overlapping, and
// with `wholeWords` only between non-word characters. With `ignoreCase` the term is upper-case
// and the text is compared through the code page's upper-case table, so no folded copy of the
// file is needed. Under UTF-8 an occurrence is whole characters; a term with letters above ASCII
// is compared character by character through the case folding, so an occurrence may be longer
// or shorter in bytes than the term.
class TermScanner {
public:
    TermScanner(std::string_view term, bool wholeWords, const platform::CodePage& page, bool ignoreCase);
    // The next counted occurrence starting at or after `from` and before `startLimit`; npos
    // when none. The whole-word test looks at `text` beyond the limit. `end` (if given) gets the
    // end of the occurrence.
    std::size_t next(std::string_view text, std::size_t from, std::size_t startLimit = std::string_view::npos,
                     std::size_t* end = nullptr) const;
    // The term's length in bytes: the length of every occurrence unless foldsByCharacter().
    std::size_t length() const { return term_.size(); }
    bool foldsByCharacter() const { return !keys_.empty(); }
    // The most bytes an occurrence can take: a character folded by character may stand for a
    // longer one in the text, up to four bytes each.
    std::size_t longestOccurrence() const { return keys_.empty() ? term_.size() : keys_.size() * 4; }

    // Whether an occurrence that counts starts exactly at `p` (as next() would judge one found
    // there); `end` gets its end.
    bool occursAt(std::string_view text, std::size_t p, std::size_t& end) const;

    // A term position tested before a candidate is compared in full, and the (at most two)
    // text bytes that stand for the term byte there. Every occurrence has one of them there.
    struct Probe {
        std::size_t offset = 0;
        unsigned char a = 0;
        unsigned char b = 0;
    };
    // The three probes: the two bytes least likely in text and the first or last byte; null
    // when no position has at most two forms.
    const Probe* probes() const { return probed_ ? probes_ : nullptr; }

private:
    bool counted(std::string_view text, std::size_t p, std::size_t e) const;
    std::size_t find(std::string_view text, std::size_t from, std::size_t startLimit) const;
    bool equalAt(const char* hay, std::size_t n, std::size_t at) const;
    std::size_t scanScalar(const char* hay, std::size_t n, std::size_t s, std::size_t lastStart) const;
    void chooseProbes();
    std::string term_;
    bool wholeWords_;
    bool ignoreCase_;
    const platform::CodePage& page_;
    // UTF-8, ignoring case, a term beyond ASCII: the folded characters of the term, and the
    // fewest bytes an occurrence can take.
    std::vector<char32_t> keys_;
    std::size_t minLength_ = 0;
    Probe probes_[3];
    bool probed_ = false;  // false: no position has at most two forms, compare everywhere
};

}  // namespace vsr::engine
