#include "results/saved_list.h"

#include <algorithm>
#include <vector>

#include "platform/safe_writer.h"

namespace vsr::results {

namespace {

constexpr const char* kLineEnd = "\r\n";

// Byte offsets of each character start, when the text is valid UTF-8; else one per byte.
std::vector<std::size_t> characterStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        bool valid = len != 0 && i + len <= text.size();
        for (std::size_t k = 1; valid && k < len; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (!valid) {
            starts.clear();
            for (std::size_t b = 0; b < text.size(); ++b) starts.push_back(b);
            return starts;
        }
        starts.push_back(i);
        i += len;
    }
    return starts;
}

// The text without its character number `n` (1-based).
std::string withoutCharacter(std::string_view text, std::size_t n) {
    std::vector<std::size_t> starts = characterStarts(text);
    if (n == 0 || n > starts.size()) return std::string(text);
    std::size_t from = starts[n - 1];
    std::size_t to = n < starts.size() ? starts[n] : text.size();
    std::string out(text.substr(0, from));
    out.append(text.substr(to));
    return out;
}

void padRight(std::string& line, std::string_view text, std::size_t width) {
    line.append(text);
    std::size_t len = displayLength(text);
    if (len < width) line.append(width - len, ' ');
}

void padLeft(std::string& line, std::string_view text, std::size_t width) {
    std::size_t len = displayLength(text);
    if (len < width) line.append(width - len, ' ');
    line.append(text);
}

}  // namespace

std::size_t displayLength(std::string_view text) { return characterStarts(text).size(); }

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
        padRight(out, caption, widths[k] + 2);
    }
    out += kLineEnd;

    for (const ResultItem& row : list.rows()) {
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const Column c = columns[k];
            std::string text = row.text(c);
            if (k == last) {
                // "Undid" carries one blank more than the other status words on screen.
                if (displayLength(text) > 10 && text.rfind("Undid", 0) == 0) text = withoutCharacter(text, 6);
                padRight(out, text, widths[k] + 2);
            } else if (k > 0 && (c == Column::Size || (c == Column::Found && words < 2))) {
                padLeft(out, text, widths[k]);
                out += "  ";
            } else {
                padRight(out, text, widths[k] + 2);
            }
        }
        out += kLineEnd;
    }
    return out;
}

bool writeSavedList(const std::string& path, std::string_view text, platform::AttributeChanger& attributes) {
    // A read-only list file is overwritten on purpose: the user named it.
    if (attributes.read(path)) attributes.makeWritable(path);
    return platform::writeFileAtomically(path, text);
}

}  // namespace vsr::results
