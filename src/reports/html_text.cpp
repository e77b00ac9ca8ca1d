#include "reports/html_text.h"

#include <algorithm>

#include "platform/text_encoding.h"
#include "text/utf8.h"

namespace vsr::reports {

std::string escapeHtml(std::string_view text, std::vector<std::size_t>* shifts) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    if (shifts) {
        shifts->clear();
        shifts->reserve(text.size() + 1);
    }
    std::size_t inserted = 0;
    for (char c : text) {
        if (shifts) shifts->push_back(inserted);
        switch (c) {
        case '"': out += "&quot;"; inserted += 5; break;
        case '&': out += "&amp;"; inserted += 4; break;
        case '<': out += "&lt;"; inserted += 3; break;
        case '>': out += "&gt;"; inserted += 3; break;
        default: out += c;
        }
    }
    if (shifts) shifts->push_back(inserted);
    return out;
}

std::string utf8Of(std::string_view bytes, platform::CodePageId page) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(bytes);
    const std::u16string text = platform::decodeText(page, bytes, platform::InvalidBytes::Show);
    return platform::encodeText(platform::CodePageId::Utf8, text, '?').bytes;
}

std::string utf8Name(std::string_view bytes) { return utf8Of(bytes, platform::CodePageId::Utf8); }

std::string blue(std::string_view text) {
    std::string out;
    out.reserve(kBlueOpen.size() + text.size() + kBlueClose.size());
    out.append(kBlueOpen).append(text).append(kBlueClose);
    return out;
}

std::vector<engine::Highlight> mergedHighlights(std::vector<engine::Highlight> highlights, std::size_t length) {
    const auto limit = static_cast<long long>(length);
    std::vector<engine::Highlight> kept;
    kept.reserve(highlights.size());
    for (engine::Highlight h : highlights) {
        if (h.length <= 0 || h.offset < 0 || h.offset >= limit) continue;
        h.length = static_cast<int>(std::min<long long>(h.length, limit - h.offset));
        kept.push_back(h);
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [](const engine::Highlight& a, const engine::Highlight& b) { return a.offset < b.offset; });
    std::vector<engine::Highlight> merged;
    for (const engine::Highlight& h : kept) {
        if (!merged.empty()) {
            engine::Highlight& last = merged.back();
            const int lastEnd = last.offset + last.length;
            // Only a real overlap joins two stretches; touching ones keep their own marks.
            if (h.offset < lastEnd) {
                last.length = std::max(lastEnd, h.offset + h.length) - last.offset;
                continue;
            }
        }
        merged.push_back(h);
    }
    return merged;
}

std::size_t charactersPrefix(std::string_view text, std::size_t count, platform::CodePageId page) {
    if (page != platform::CodePageId::Utf8 || text.size() <= count) return std::min(count, text.size());
    std::size_t at = 0;
    for (std::size_t n = 0; n < count && at < text.size(); ++n) {
        char32_t cp;
        at += text::utf8::decode(text, at, cp);
    }
    return at;
}

std::string_view displayWidth(std::string_view text, platform::CodePageId page) {
    return text.substr(0, charactersPrefix(text, engine::kMaxDisplayText, page));
}

std::string markedText(std::string_view text, const std::vector<engine::Highlight>& highlights, MarkScope scope,
                       platform::CodePageId page) {
    if (scope == MarkScope::DisplayWidth) text = displayWidth(text, page);
    std::vector<std::size_t> shifts;
    const std::string escaped = escapeHtml(text, &shifts);
    const std::vector<engine::Highlight> marks = mergedHighlights(highlights, text.size());
    std::string out;
    out.reserve(escaped.size() + marks.size() * (kBlueOpen.size() + kBlueClose.size()));
    std::size_t copied = 0;
    for (const engine::Highlight& h : marks) {
        const std::size_t begin = h.offset + shifts[h.offset];
        const std::size_t end = h.offset + h.length + shifts[h.offset + h.length];
        out.append(escaped, copied, begin - copied);
        out.append(kBlueOpen).append(escaped, begin, end - begin).append(kBlueClose);
        copied = end;
    }
    out.append(escaped, copied, std::string::npos);
    return out;
}

std::string markedEntry(const engine::FoundLine& entry, bool regExpr, platform::CodePageId page) {
    // The display text is cut at 1024 bytes, which in UTF-8 can be fewer characters and end
    // inside one; the full text has them all.
    const std::string& text = entry.fullText.empty() ? entry.displayText : entry.fullText;
    return markedText(text, entry.highlights, regExpr ? MarkScope::Whole : MarkScope::DisplayWidth, page);
}

}  // namespace vsr::reports
