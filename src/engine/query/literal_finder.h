#pragma once
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/query/term_scanner.h"
#include "engine/query/term_set_scanner.h"
#include "regexpr/required_literals.h"

namespace vsr::engine {

// Finds where a regular expression's required literals stand in a text, so that text without
// one never reaches the matcher. It may stop at places where no literal the engine would match
// stands (it compares case through a code page's table), never pass one by.
class LiteralFinder {
public:
    // Null when the set is empty or a literal can't be looked for without missing some of the
    // places the engine would match it.
    static std::unique_ptr<LiteralFinder> make(const std::vector<regexpr::RequiredLiteral>& literals);

    // Whether any literal has a line end in it: then a text with line ends changed may hold it
    // where the original does not.
    bool holdsLineEnd() const { return holdsLineEnd_; }

    // Starts a new text; positions must then be asked for in increasing order.
    void start(std::string_view text);
    // The first start of a literal in [from, to) of the text, or npos.
    std::size_t find(std::size_t from, std::size_t to);

private:
    explicit LiteralFinder(std::vector<TermScanner> scanners);

    std::vector<TermScanner> scanners_;
    std::unique_ptr<TermSetScanner> set_;
    bool holdsLineEnd_ = false;
    std::string_view text_;
    // Without the set: each literal's first start at or after the last `from` asked, or npos
    // when none starts before checked_[i], where its last search ended.
    std::vector<std::size_t> nextAt_;
    std::vector<std::size_t> checked_;
    // The set's hits of the stretch scanned last, in order of their starts.
    std::vector<TermHit> hits_;
    std::size_t hitIndex_ = 0;
    std::size_t scannedTo_ = 0;
    std::vector<std::size_t> setNext_;
};

}  // namespace vsr::engine
