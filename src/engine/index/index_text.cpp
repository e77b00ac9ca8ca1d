#include "engine/index/index_text.h"

#include <algorithm>

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

GramCollector::GramCollector() : seen_((1u << 24) / 64, 0) {}

void GramCollector::collect(std::string_view folded, std::vector<std::uint32_t>& out) {
    out.clear();
    if (folded.size() < 3) return;
    const char* p = folded.data();
    const std::size_t last = folded.size() - 2;
    for (std::size_t i = 0; i < last; ++i) {
        const std::uint32_t g = gramAt(p + i);
        std::uint64_t& word = seen_[g >> 6];
        const std::uint64_t bit = 1ULL << (g & 63);
        if (word & bit) continue;
        word |= bit;
        out.push_back(g);
    }
    for (std::uint32_t g : out) seen_[g >> 6] = 0;
    std::erase_if(out, gramHoldsLineEnd);
}

}  // namespace vsr::engine::index
