#include "results/saved_list.h"

#include <algorithm>
#include <vector>

#include "durable/safe_writer.h"
#include "platform/text_encoding.h"
#include "text/utf8.h"

namespace vsr::results {

namespace {

constexpr const char* kLineEnd = "\r\n";

std::size_t nextCharacter(std::string_view text, std::size_t pos) {
    char32_t cp;
    return pos + text::utf8::decode(text, pos, cp);
}

// The text without its character number `n` (1-based).
std::string withoutCharacter(std::string_view text, std::size_t n) {
    std::size_t from = 0;
    for (std::size_t k = 1; k < n && from < text.size(); ++k) from = nextCharacter(text, from);
    if (n == 0 || from >= text.size()) return std::string(text);
    std::string out(text.substr(0, from));
    out.append(text.substr(nextCharacter(text, from)));
    return out;
}

// The bytes a column's text is written as: a name as it is, any other text in the encoding
// (a character the encoding lacks as "?", one character for one as counted for the widths).
std::string written(std::string_view text, Column column, platform::CodePageId encoding) {
    if (column == Column::Name || column == Column::Path || encoding == platform::CodePageId::Utf8)
        return std::string(text);
    const std::u16string characters = platform::decodeText(platform::CodePageId::Utf8, text);
    return platform::encodeText(encoding, characters, '?').bytes;
}

// Pads as the text shows, counting its characters, and writes its bytes.
void padRight(std::string& line, std::string_view shown, std::string_view bytes, std::size_t width) {
    line.append(bytes);
    std::size_t len = displayLength(shown);
    if (len < width) line.append(width - len, ' ');
}

void padLeft(std::string& line, std::string_view shown, std::string_view bytes, std::size_t width) {
    std::size_t len = displayLength(shown);
    if (len < width) line.append(width - len, ' ');
    line.append(bytes);
}

}  // namespace

std::size_t displayLength(std::string_view text) { return text::utf8::length(text); }

std::string savedListText(const ResultList& list, const SavedListOptions& options) {
    std::string out;
    if (options.commandLine) {
        out += "Command Line: " + *options.commandLine + kLineEnd;
        out += kLineEnd;
    }
    const std::vector<Column> columns = list.columns();
    std::vector<std::size_t> widths(columns.size());
    for (std::size_t k = 0; k < columns.size(); ++k) {
        std::size_t w = displayLength(list.columnCaption(columns[k]));
        for (const ResultItem& row : list.rows()) w = std::max(w, displayLength(row.text(columns[k])));
        widths[k] = w;
    }
    const std::size_t last = columns.size() - 1;
    int words = options.queryWords;
    if (words == 0) {
        words = 1;
        for (const ResultItem& row : list.rows())
            if (row.found.find(',') != std::string::npos) words = 2;
    }

    // The last caption loses its 7th character, so the interval caption's "|" stands over
    // the interval texts below it.
    for (std::size_t k = 0; k < columns.size(); ++k) {
        std::string caption = list.columnCaption(columns[k]);
        if (k == last && displayLength(caption) > 6) caption = withoutCharacter(caption, 7);
        padRight(out, caption, written(caption, Column::Result, options.textEncoding), widths[k] + 2);
    }
    out += kLineEnd;

    for (const ResultItem& row : list.rows()) {
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const Column c = columns[k];
            std::string text = row.text(c);
            if (k == last) {
                // "Undid" carries one blank more than the other status words on screen.
                if (displayLength(text) > 10 && text.rfind("Undid", 0) == 0) text = withoutCharacter(text, 6);
            }
            const std::string bytes = written(text, c, options.textEncoding);
            if (k != last && k > 0 && (c == Column::Size || (c == Column::Found && words < 2))) {
                padLeft(out, text, bytes, widths[k]);
                out += "  ";
            } else {
                padRight(out, text, bytes, widths[k] + 2);
            }
        }
        out += kLineEnd;
    }
    return out;
}

bool writeSavedList(const std::string& path, std::string_view text, platform::AttributeChanger& attributes) {
    // A read-only list file is overwritten on purpose: the user named it.
    if (attributes.read(path)) attributes.makeWritable(path);
    return durable::writeFileAtomically(path, text);
}

}  // namespace vsr::results
