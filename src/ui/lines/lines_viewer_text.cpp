#include "ui/lines/lines_viewer_text.h"

#include "platform/text_encoding.h"
#include "text/utf8.h"

namespace vsr::ui {
namespace {

// The bytes of a character that the line's 1024-byte limit cut at its end: they are dropped
// rather than shown as stray bytes.
std::size_t cutCharacterBytes(std::string_view s) {
    namespace utf8 = text::utf8;
    for (std::size_t back = 1; back <= 3 && back <= s.size(); ++back) {
        const auto b = static_cast<unsigned char>(s[s.size() - back]);
        if (utf8::isContinuation(b)) continue;
        const std::size_t wanted = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 1;
        if (wanted <= back) return 0;
        // Only a start that would have been well formed with the bytes that follow it.
        std::string probe(s.substr(s.size() - back));
        probe.append(wanted - back, '\x80');
        char32_t cp;
        return utf8::decode(probe, 0, cp) == wanted ? back : 0;
    }
    return 0;
}

void blankControls(QString& text) {
    for (QChar& ch : text)
        if (ch.unicode() < 32) ch = QLatin1Char(' ');
}

}  // namespace

DisplayEntry displayEntry(const engine::FoundLine& entry, platform::CodePageId page) {
    DisplayEntry out;
    std::string_view bytes = entry.displayText;
    // A header names the file, and names are as the file system has them: UTF-8.
    if (entry.kind == engine::FoundLineKind::Header) page = platform::CodePageId::Utf8;
    // Only a line the limit cut can end inside a character; a shorter one ends in a real byte.
    if (page == platform::CodePageId::Utf8 && bytes.size() >= engine::kMaxDisplayText)
        bytes.remove_suffix(cutCharacterBytes(bytes));
    std::vector<int> unitAt;  // the text's index of every byte offset, and of the end
    const std::u16string text = platform::decodeText(page, bytes, platform::InvalidBytes::Show, &unitAt);
    out.text = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    blankControls(out.text);
    for (const engine::Highlight& h : entry.highlights) {
        if (h.offset < 0 || h.length <= 0 || static_cast<std::size_t>(h.offset) >= bytes.size()) continue;
        const std::size_t end = std::min(bytes.size(), static_cast<std::size_t>(h.offset) + h.length);
        const int from = unitAt[static_cast<std::size_t>(h.offset)];
        const int to = unitAt[end];
        if (to > from) out.highlights.emplace_back(from, to - from);
    }
    return out;
}

std::vector<int> displayColumns(const engine::FoundLine& entry, platform::CodePageId page,
                                const std::vector<std::size_t>& byteOffsets) {
    std::string_view bytes = entry.displayText;
    if (entry.kind == engine::FoundLineKind::Header) page = platform::CodePageId::Utf8;
    if (page == platform::CodePageId::Utf8 && bytes.size() >= engine::kMaxDisplayText)
        bytes.remove_suffix(cutCharacterBytes(bytes));
    std::vector<int> unitAt;
    platform::decodeText(page, bytes, platform::InvalidBytes::Show, &unitAt);
    std::vector<int> out;
    out.reserve(byteOffsets.size());
    for (std::size_t offset : byteOffsets) out.push_back(unitAt[std::min(offset, bytes.size())]);
    return out;
}

QString displayText(std::string_view bytes, platform::CodePageId page) {
    engine::FoundLine e;
    e.displayText = std::string(bytes);
    return displayEntry(e, page).text;
}

}  // namespace vsr::ui
