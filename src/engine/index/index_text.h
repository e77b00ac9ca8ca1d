#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace vsr::engine::index {

// The folded form the index keeps of a text: the page's upper case of every byte on a
// single-byte page; under UTF-8 every character folded as the case-insensitive search folds
// it (ASCII through the page's table). A text and its terms folded alike keep every
// occurrence, whether the search then heeds case or not. Under UTF-8 `text` must be valid.
void foldForIndex(const platform::CodePage& page, std::string_view text, std::string& out);

// A trigram: three bytes, the first the highest. Trigrams holding a line end are never kept
// or asked for: no term and no line of a query holds one.
inline std::uint32_t gramAt(const char* p) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(p[0])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(p[1])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(p[2]));
}
bool gramHoldsLineEnd(std::uint32_t gram);

// The distinct trigrams of texts, one text at a time, without sorting every position: a bit
// per possible trigram (2 MB) tells those seen already; the words an ASCII text touches fit
// the processor's second-level cache.
class GramCollector {
public:
    GramCollector();
    // The distinct trigrams of `folded`, in the order they first stand there, in `out`.
    void collect(std::string_view folded, std::vector<std::uint32_t>& out);

private:
    std::vector<std::uint64_t> seen_;
    std::vector<std::uint32_t> room_;
};

}  // namespace vsr::engine::index
