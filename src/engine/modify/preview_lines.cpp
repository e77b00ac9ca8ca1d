#include "engine/modify/preview_lines.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "engine/modify/sequence_diff.h"
#include "engine/query/text_lines.h"

namespace vsr::engine {
namespace {

bool wordByte(unsigned char c) { return c == '_' || c >= 0x80 || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }

// Words, runs of blanks and single other characters: a change is shown a word at a time, so
// "int" becoming "long" reads as one word replaced, not as letters shuffled.
std::vector<std::string_view> tokens(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t j = i + 1;
        if (wordByte(c)) {
            while (j < s.size() && wordByte(static_cast<unsigned char>(s[j]))) ++j;
        } else if (c == ' ' || c == '\t') {
            while (j < s.size() && (s[j] == ' ' || s[j] == '\t')) ++j;
        }
        out.push_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

void append(PreviewLine& line, std::string_view text, bool marked, bool inserted) {
    if (text.empty()) return;
    if (marked) line.marks.push_back({static_cast<int>(line.text.size()), static_cast<int>(text.size()), inserted});
    line.text += text;
}

PreviewLine wholeLine(std::string_view text, bool inserted) {
    PreviewLine line;
    append(line, text.substr(0, kMaxDisplayText), true, inserted);
    return line;
}

PreviewLine plainLine(std::string_view text) {
    PreviewLine line;
    line.text = text.substr(0, kMaxDisplayText);
    return line;
}

// Keeps a line within the display limit, cutting its marks with it.
void cut(PreviewLine& line) {
    if (line.text.size() <= kMaxDisplayText) return;
    line.text.resize(kMaxDisplayText);
    const int limit = static_cast<int>(kMaxDisplayText);
    std::erase_if(line.marks, [&](const PreviewMark& m) { return m.offset >= limit; });
    for (PreviewMark& m : line.marks) m.length = std::min(m.length, limit - m.offset);
}

// The last line of a block entry " line N - line M", or N.
std::int64_t lastLineOf(const FoundLine& e) {
    if (e.kind != FoundLineKind::Multiline) return e.lineNumber;
    const std::string_view text = e.displayText;
    const std::size_t dash = text.find(" - line ");
    if (dash == std::string_view::npos) return e.lineNumber;
    std::int64_t last = e.lineNumber;
    const char* from = text.data() + dash + 8;
    std::from_chars(from, text.data() + text.size(), last);
    return std::max(last, e.lineNumber);
}

}  // namespace

std::vector<std::string_view> viewerLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string_view> lines;
    LineCursor cursor(text);
    std::string_view line;
    std::size_t start = 0;
    while (cursor.next(line)) {
        lines.push_back(text.substr(start, cursor.position() - start));
        start = cursor.position();
    }
    return lines;
}

namespace {

std::string_view lineEndOf(std::string_view line) {
    if (line.ends_with("\r\n")) return line.substr(line.size() - 2);
    if (line.ends_with('\n') || line.ends_with('\r')) return line.substr(line.size() - 1);
    return {};
}

std::string_view lineBody(std::string_view line) { return line.substr(0, line.size() - lineEndOf(line).size()); }

std::string lineEndName(std::string_view end) {
    if (end == "\r\n") return "<CR LF>";
    if (end == "\n") return "<LF>";
    if (end == "\r") return "<CR>";
    return "<no line end>";
}

}  // namespace

PreviewLine previewLineWithEnds(std::string_view before, std::string_view after) {
    PreviewLine line = previewLine(lineBody(before), lineBody(after));
    const std::string_view oldEnd = lineEndOf(before);
    const std::string_view newEnd = lineEndOf(after);
    if (oldEnd == newEnd) return line;
    // The mark follows the text even past the display limit: it is the whole change there is.
    line.text += ' ';
    append(line, lineEndName(oldEnd), true, false);
    append(line, lineEndName(newEnd), true, true);
    return line;
}

PreviewLine previewLine(std::string_view before, std::string_view after) {
    const std::vector<std::string_view> a = tokens(before);
    const std::vector<std::string_view> b = tokens(after);
    std::unordered_map<std::string_view, std::uint32_t> ids;
    auto number = [&](const std::vector<std::string_view>& words) {
        std::vector<std::uint32_t> out;
        for (std::string_view w : words) out.push_back(ids.try_emplace(w, static_cast<std::uint32_t>(ids.size())).first->second);
        return out;
    };
    const std::vector<DiffChange> changes = diffSymbols(number(a), number(b));
    PreviewLine line;
    std::size_t ai = 0;
    auto join = [](const std::vector<std::string_view>& words, std::size_t from, std::size_t to) {
        if (from >= to) return std::string_view();
        return std::string_view(words[from].data(),
                                static_cast<std::size_t>(words[to - 1].data() + words[to - 1].size() - words[from].data()));
    };
    for (const DiffChange& c : changes) {
        append(line, join(a, ai, c.aBegin), false, false);
        append(line, join(a, c.aBegin, c.aEnd), true, false);
        append(line, join(b, c.bBegin, c.bEnd), true, true);
        ai = c.aEnd;
    }
    append(line, join(a, ai, a.size()), false, false);
    cut(line);
    return line;
}

LinesPreview previewLines(const LinesViewerContent& content, std::string_view before, std::string_view after) {
    const std::vector<std::string_view> a = viewerLines(before);
    const std::vector<std::string_view> b = viewerLines(after);
    const std::vector<DiffChange> changes = diffLines(a, b);

    LinesPreview preview;
    preview.under.resize(content.count());
    // For every old line (1-based), the change that holds it; insertions by the line they follow.
    std::vector<const DiffChange*> changeOf(a.size() + 2, nullptr);
    std::vector<const DiffChange*> insertedAfter(a.size() + 2, nullptr);
    for (const DiffChange& c : changes) {
        preview.changedLines += std::max(c.aEnd - c.aBegin, c.bEnd - c.bBegin);
        if (c.aBegin == c.aEnd) insertedAfter[c.aBegin] = &c;
        for (std::size_t i = c.aBegin; i < c.aEnd; ++i) changeOf[i + 1] = &c;
    }
    std::vector<char> shown(a.size() + 2, 0);
    for (const FoundLine& e : content.entries())
        if (e.kind == FoundLineKind::Line || e.kind == FoundLineKind::Multiline)
            for (std::int64_t n = e.lineNumber; n <= lastLineOf(e) && n <= static_cast<std::int64_t>(a.size()); ++n)
                if (n > 0) shown[static_cast<std::size_t>(n)] = 1;

    auto inserted = [&](std::vector<PreviewLine>& out, const DiffChange& c, std::size_t from) {
        for (std::size_t k = c.bBegin + from; k < c.bEnd; ++k) out.push_back(wholeLine(lineBody(b[k]), true));
    };
    for (std::size_t index = 0; index < content.count(); ++index) {
        const FoundLine& e = content.entry(index);
        if (e.kind != FoundLineKind::Line && e.kind != FoundLineKind::Multiline) continue;
        std::vector<PreviewLine>& out = preview.under[index];
        for (std::int64_t n = std::max<std::int64_t>(e.lineNumber, 1); n <= lastLineOf(e); ++n) {
            const std::size_t line = static_cast<std::size_t>(n);
            if (line > a.size()) break;
            // Lines added between an unshown line and this one come first.
            if (!shown[line - 1] && insertedAfter[line - 1]) inserted(out, *insertedAfter[line - 1], 0);
            const DiffChange* c = changeOf[line];
            if (!c) {
                out.push_back(plainLine(lineBody(a[line - 1])));
            } else {
                const std::size_t offset = line - 1 - c->aBegin;
                if (offset < c->bEnd - c->bBegin) out.push_back(previewLineWithEnds(a[line - 1], b[c->bBegin + offset]));
                else out.push_back(wholeLine(lineBody(a[line - 1]), false));
                // The old lines ran out before the new ones: the rest follows the last old line.
                if (line == c->aEnd && c->bEnd - c->bBegin > c->aEnd - c->aBegin) inserted(out, *c, c->aEnd - c->aBegin);
            }
            if (insertedAfter[line]) inserted(out, *insertedAfter[line], 0);
        }
    }
    return preview;
}

}  // namespace vsr::engine
