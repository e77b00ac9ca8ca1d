#include "engine/index/index_text.h"

#include <algorithm>
#include <cstring>

#include "engine/query/case_fold.h"
#include "text/unicode_tables.h"
#include "text/utf8.h"

namespace vsr::engine::index {

void foldForIndex(const platform::CodePage& page, std::string_view text, std::string& out) {
    out.resize(text.size());
    if (!page.isUtf8()) {
        foldUpper(page, text.data(), out.data(), text.size());
        return;
    }
    out.clear();
    for (std::size_t i = 0; i < text.size();) {
        std::size_t run = i;
        while (run < text.size() && static_cast<unsigned char>(text[run]) < 0x80) ++run;
        if (run > i) {
            const std::size_t at = out.size();
            out.resize(at + (run - i));
            foldUpper(page, text.data() + i, out.data() + at, run - i);
            i = run;
            continue;
        }
        char32_t cp;
        i += text::utf8::decode(text, i, cp);
        text::utf8::append(out, text::unicode::fold(cp));
    }
}

bool gramHoldsLineEnd(std::uint32_t gram) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t b = (gram >> shift) & 0xFF;
        if (b == '\n' || b == '\r') return true;
    }
    return false;
}

namespace {

bool lineEndByte(std::uint32_t b) { return b == '\n' || b == '\r'; }

// The bits a word of a seen-table starts with: the trigrams holding a line end count as seen
// already, so they are never kept. A word covers 64 trigrams that share their first two bytes
// and differ in the last; a byte takes `bits` bits of the trigram (8, or 7 for ASCII texts).
std::uint64_t lineEndsOfWord(std::uint32_t word, unsigned bits) {
    const std::uint32_t low = bits - 6;  // bits of the last byte that choose the word
    const std::uint32_t byteMask = (1u << bits) - 1;
    const std::uint32_t first = (word >> (low + bits)) & byteMask, second = (word >> low) & byteMask;
    if (lineEndByte(first) || lineEndByte(second)) return ~std::uint64_t{0};
    return (word & ((1u << low) - 1)) == 0 ? (std::uint64_t{1} << '\n') | (std::uint64_t{1} << '\r') : 0;
}

bool allAscii(std::string_view text) {
    const char* p = text.data();
    std::size_t n = text.size();
    std::uint64_t high = 0;
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        high |= w;
    }
    for (; n > 0; ++p, --n) high |= static_cast<unsigned char>(*p);
    return (high & 0x8080808080808080ULL) == 0;
}

// Marks every trigram of `p[0..n)` in `seen` (a bit per trigram of `bits`-bit bytes) and
// appends those not marked before, as 8-bit trigrams. Without a branch on the bit: whether a
// trigram is new can't be foreseen.
template <unsigned bits>
void collectInto(const unsigned char* p, std::size_t n, std::uint64_t* seen, std::vector<std::uint32_t>& room,
                 std::vector<std::uint32_t>& out) {
    // Every trigram is written to the room and kept by moving past it. The room grows a stretch
    // at a time, as the kept ones need, and is not cleared between texts.
    constexpr std::size_t kStretch = 1u << 16;
    std::size_t count = 0;
    for (std::size_t i = 2; i < n;) {
        const std::size_t end = n - i > kStretch ? i + kStretch : n;
        if (room.size() < count + (end - i)) room.resize(std::max(room.size() * 2, count + (end - i)));
        std::uint32_t* kept = room.data();
        for (; i < end; ++i) {
            // Each trigram from its own three bytes, not rolled on from the one before: no
            // position then waits for the last.
            const std::uint32_t g = (std::uint32_t{p[i - 2]} << (2 * bits)) | (std::uint32_t{p[i - 1]} << bits) | p[i];
            std::uint64_t& word = seen[g >> 6];
            const std::uint64_t bit = std::uint64_t{1} << (g & 63);
            kept[count] = g;
            count += (word & bit) == 0;
            word |= bit;
        }
    }
    const std::uint32_t* kept = room.data();
    out.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint32_t t = kept[k];
        seen[t >> 6] = lineEndsOfWord(t >> 6, bits);
        if constexpr (bits != 8) {
            constexpr std::uint32_t b = (1u << bits) - 1;
            out[k] = ((t >> (2 * bits)) << 16) | (((t >> bits) & b) << 8) | (t & b);
        } else {
            out[k] = t;
        }
    }
}

}  // namespace

GramCollector::GramCollector() : seen_((1u << 24) / 64, 0), seenAscii_((1u << 21) / 64, 0) {
    for (std::uint32_t w = 0; w < seen_.size(); ++w) seen_[w] = lineEndsOfWord(w, 8);
    for (std::uint32_t w = 0; w < seenAscii_.size(); ++w) seenAscii_[w] = lineEndsOfWord(w, 7);
}

void GramCollector::collect(std::string_view folded, std::vector<std::uint32_t>& out) {
    out.clear();
    if (folded.size() < 3) return;
    const auto* p = reinterpret_cast<const unsigned char*>(folded.data());
    // Most texts are ASCII: their trigrams fit a table an eighth the size, which stays in the
    // processor's cache.
    if (allAscii(folded)) collectInto<7>(p, folded.size(), seenAscii_.data(), room_, out);
    else collectInto<8>(p, folded.size(), seen_.data(), room_, out);
    // A large text's room goes back rather than staying with the collector.
    if (room_.size() > (1u << 20)) std::vector<std::uint32_t>().swap(room_);
}

}  // namespace vsr::engine::index
