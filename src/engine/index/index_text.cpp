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

// The bits a word of the seen-table starts with: the trigrams holding a line end count as seen
// already, so they are never kept. A word covers 64 trigrams that share their first two bytes
// and the two high bits of the last.
std::uint64_t lineEndsOfWord(std::uint32_t word) {
    const std::uint32_t first = word >> 10, second = (word >> 2) & 0xFF;
    if (lineEndByte(first) || lineEndByte(second)) return ~std::uint64_t{0};
    return (word & 3) == 0 ? (std::uint64_t{1} << '\n') | (std::uint64_t{1} << '\r') : 0;
}

// Marks trigram `g` in `seen` and keeps it when it was not marked before. Without a branch on
// the bit: whether a trigram is new can't be foreseen.
inline void see(std::uint32_t g, std::uint64_t* seen, std::uint32_t* kept, std::size_t& count) {
    std::uint64_t& word = seen[g >> 6];
    const std::uint64_t bit = std::uint64_t{1} << (g & 63);
    kept[count] = g;
    count += (word & bit) == 0;
    word |= bit;
}

// Marks every trigram of `p[0..n)` in `seen` (a bit per trigram) and appends those not marked
// before to `out`, then clears the marks it made.
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
        // Six trigrams from one load of eight bytes, the first byte highest.
        for (; i + 6 <= end; i += 6) {
            std::uint64_t w;
            std::memcpy(&w, p + i - 2, 8);
            w = __builtin_bswap64(w);
            see(static_cast<std::uint32_t>(w >> 40), seen, kept, count);
            see(static_cast<std::uint32_t>(w >> 32) & 0xFFFFFF, seen, kept, count);
            see(static_cast<std::uint32_t>(w >> 24) & 0xFFFFFF, seen, kept, count);
            see(static_cast<std::uint32_t>(w >> 16) & 0xFFFFFF, seen, kept, count);
            see(static_cast<std::uint32_t>(w >> 8) & 0xFFFFFF, seen, kept, count);
            see(static_cast<std::uint32_t>(w) & 0xFFFFFF, seen, kept, count);
        }
        for (; i < end; ++i)
            see((std::uint32_t{p[i - 2]} << 16) | (std::uint32_t{p[i - 1]} << 8) | p[i], seen, kept, count);
    }
    const std::uint32_t* kept = room.data();
    out.assign(kept, kept + count);
    for (std::size_t k = 0; k < count; ++k) seen[kept[k] >> 6] = lineEndsOfWord(kept[k] >> 6);
}

}  // namespace

GramCollector::GramCollector() : seen_((1u << 24) / 64, 0) {
    for (std::uint32_t w = 0; w < seen_.size(); ++w) seen_[w] = lineEndsOfWord(w);
}

void GramCollector::collect(std::string_view folded, std::vector<std::uint32_t>& out) {
    out.clear();
    if (folded.size() < 3) return;
    collectInto(reinterpret_cast<const unsigned char*>(folded.data()), folded.size(), seen_.data(), room_, out);
    // A large text's room goes back rather than staying with the collector.
    if (room_.size() > (1u << 20)) std::vector<std::uint32_t>().swap(room_);
}

}  // namespace vsr::engine::index
