// "Browse.htm": the found lines of one file amid their neighbouring lines.
#include <algorithm>

#include "engine/query/text_lines.h"
#include "reports/html_text.h"
#include "reports/lines_pages.h"

namespace vsr::reports {

namespace {

// Writes the file's lines around found lines, remembering where the last found line was.
class ContextWriter {
public:
    ContextWriter(std::string& out, const std::vector<std::string_view>& file, std::int64_t context, bool regExpr,
                  platform::CodePageId page)
        : out_(out), file_(file), context_(context), regExpr_(regExpr), page_(page) {}

    // The lines between the last written line and found line `found`: those within the
    // context of either found line, with one blank line for the lines skipped.
    void gapBefore(std::int64_t found) {
        bool separated = false;
        for (std::int64_t k = next_; k < found; ++k) {
            // Before the first found line there is no earlier one to be near to.
            const bool nearLast = anyFound_ && k - last_ <= context_;
            const bool nearNext = found - k <= context_;
            if (nearLast || nearNext) {
                plain(k);
            } else if (!separated && k - last_ > context_) {
                // Lines near the file's top before the first found line are left out
                // without a separator: nothing was written before them to set them apart from.
                appendLine(out_, "");
                separated = true;
            }
        }
    }

    void foundLine(const engine::FoundLine& entry) {
        const std::int64_t n = entry.lineNumber;
        gapBefore(n);
        const std::string marked = utf8Of(markedEntry(entry, regExpr_, page_), page_);
        // The star takes the place of the entry's leading blank.
        appendLine(out_, blue("*") + marked.substr(std::min<std::size_t>(1, marked.size())));
        found(n, n);
    }

    void block(std::int64_t first, std::int64_t lastLine) {
        gapBefore(first);
        for (std::int64_t k = first; k <= lastLine; ++k)
            appendLine(out_, std::string(kBlueOpen) + "*</font>line " + std::to_string(k) + ": " +
                                 blue(utf8Of(escapeHtml(fileLine(k)), page_)));
        found(first, lastLine);
    }

    // The context after the last found line, as far as the file goes.
    void trailing() {
        const std::int64_t lines = static_cast<std::int64_t>(file_.size());
        for (std::int64_t k = next_; k <= last_ + context_ && k <= lines; ++k) plain(k);
    }

private:
    std::string_view fileLine(std::int64_t k) const {
        return k >= 1 && k <= static_cast<std::int64_t>(file_.size()) ? file_[static_cast<std::size_t>(k - 1)]
                                                                       : std::string_view();
    }

    void plain(std::int64_t k) {
        // A line the file no longer has is not invented.
        if (k < 1 || k > static_cast<std::int64_t>(file_.size())) return;
        std::string text = " line " + std::to_string(k) + ": ";
        text.append(fileLine(k));
        appendLine(out_, utf8Of(escapeHtml(regExpr_ ? std::string_view(text) : displayWidth(text, page_)), page_));
    }

    void found(std::int64_t first, std::int64_t lastLine) {
        next_ = std::max(next_, lastLine + 1);
        last_ = lastLine;
        anyFound_ = true;
        (void)first;
    }

    std::string& out_;
    const std::vector<std::string_view>& file_;
    std::int64_t context_;
    bool regExpr_;
    platform::CodePageId page_;
    std::int64_t next_ = 1;
    std::int64_t last_ = 0;
    bool anyFound_ = false;
};

// The last line of a block entry " line N - line M" (N for a one-line block).
std::int64_t blockEnd(const engine::FoundLine& entry) {
    const std::string_view text = entry.displayText;
    const std::size_t dash = text.find(" - line ");
    if (dash == std::string_view::npos) return entry.lineNumber;
    std::int64_t m = 0;
    for (std::size_t i = dash + 8; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) m = m * 10 + (text[i] - '0');
    return std::max(m, entry.lineNumber);
}

}  // namespace

std::int64_t contextLines(std::string_view choice) {
    if (choice == "All") return kAllContext;
    if (choice.empty() || choice.size() > 9) return -1;
    std::int64_t n = 0;
    for (char c : choice) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::vector<std::string_view> numberedLines(std::string_view bytes) {
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    std::vector<std::string_view> lines;
    engine::LineCursor cursor(bytes);
    std::string_view l;
    while (cursor.next(l)) lines.push_back(l);
    return lines;
}

std::string browseContextText(const engine::LinesViewerContent& lines, const std::vector<std::string_view>& fileLines,
                              std::int64_t context, engine::QueryType type, platform::CodePageId page) {
    std::string out;
    for (std::string_view l : {std::string_view("<html>"), kCharsetLine, std::string_view("<Title>Context</Title>"),
                               std::string_view("<body>"), std::string_view("<pre>")})
        appendLine(out, l);
    ContextWriter writer(out, fileLines, std::max<std::int64_t>(context, 0), type == engine::QueryType::RegExpr, page);
    const std::vector<engine::FoundLine>& entries = lines.entries();
    for (std::size_t d = 0; d < entries.size(); ++d) {
        const engine::FoundLine& e = entries[d];
        switch (e.kind) {
        case engine::FoundLineKind::Header:
        case engine::FoundLineKind::Overflow:
            appendLine(out, "<strong>" + utf8Name(escapeHtml(e.displayText)) + "</strong>");
            break;
        case engine::FoundLineKind::Line:
            writer.foundLine(e);
            if (d + 1 == entries.size()) writer.trailing();
            break;
        case engine::FoundLineKind::Multiline:
            writer.block(e.lineNumber, blockEnd(e));
            if (d + 1 == entries.size()) writer.trailing();
            break;
        }
    }
    for (const char* l : {"</pre>", "</body>", "</html>"}) appendLine(out, l);
    return out;
}

std::string savedLinesText(const engine::LinesViewerContent& lines, engine::QueryType type, platform::CodePageId page) {
    std::string out;
    for (std::string_view l : {std::string_view("<html>"), kCharsetLine,
                               std::string_view("<Title>Information from the Lines Viewer</Title>"),
                               std::string_view("<body>"), std::string_view("<pre>")})
        appendLine(out, l);
    for (const engine::FoundLine& e : lines.entries()) {
        if (e.kind == engine::FoundLineKind::Header || e.kind == engine::FoundLineKind::Overflow)
            appendLine(out, "<strong>" + utf8Name(escapeHtml(e.displayText)) + "</strong>");
        else if (type == engine::QueryType::Multiline)
            appendLine(out, blue(utf8Of(escapeHtml(e.displayText), page)));
        else
            appendLine(out, utf8Of(markedEntry(e, type == engine::QueryType::RegExpr, page), page));
    }
    for (const char* l : {"</pre>", "</body>", "</html>"}) appendLine(out, l);
    return out;
}

}  // namespace vsr::reports
