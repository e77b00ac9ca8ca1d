#include "engine/modify/modify_file_model.h"

#include "engine/query/text_lines.h"

namespace vsr::engine {

std::string_view separatorText(LineSeparator separator) {
    switch (separator) {
        case LineSeparator::Windows: return "\r\n";
        case LineSeparator::Unix: return "\n";
        case LineSeparator::Macintosh: return "\r";
    }
    return "\r\n";
}

void splitLines(std::string_view text, std::vector<std::string_view>& out) {
    out.clear();
    LineCursor cursor(text);
    std::string_view line;
    while (cursor.next(line)) out.push_back(line);
}

FileModel::FileModel(std::string bytes) : original_(std::move(bytes)) {
    std::string_view text = original_;
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        tail_ = text.substr(nul);
        text = text.substr(0, nul);
    }
    splitLines(text, lines);
    endedWithLineEnd = !text.empty() && (text.back() == '\r' || text.back() == '\n');
}

std::string_view FileModel::keep(std::string text) { return kept_.emplace_back(std::move(text)); }

std::string_view FileModel::keepLine(std::string text, std::string_view was) {
    const std::size_t size = text.size();
    text += lineEndAfter(was);
    return keep(std::move(text)).substr(0, size);
}

void FileModel::replaceWithText(std::string text) { splitLines(keep(std::move(text)), lines); }

std::string joinFileModel(const FileModel& model, LineSeparator separator) {
    const std::string_view sep = separatorText(separator);
    std::size_t total = model.tail().size();
    for (std::string_view line : model.lines) total += line.size() + sep.size();
    std::string out;
    out.reserve(total);
    for (std::size_t i = 0; i < model.lines.size(); ++i) {
        out += model.lines[i];
        if (i + 1 < model.lines.size() || model.endedWithLineEnd) out += sep;
    }
    out += model.tail();
    return out;
}

}  // namespace vsr::engine

namespace vsr::engine {

std::string_view lineEndAfter(std::string_view line) {
    if (line.data() == nullptr) return {};
    // A string's bytes end with a NUL, so the byte after any view of it, and the one after a CR
    // within it, can be read.
    const char* end = line.data() + line.size();
    if (end[0] == '\n') return "\n";
    if (end[0] != '\r') return {};
    return end[1] == '\n' ? std::string_view("\r\n") : std::string_view("\r");
}

std::string_view usualLineEnd(std::string_view text, LineSeparator otherwise) {
    std::size_t crlf = 0, lf = 0, cr = 0;
    for (std::size_t i = text.find_first_of("\r\n"); i != std::string_view::npos; i = text.find_first_of("\r\n", i)) {
        if (text[i] == '\n') {
            ++lf;
            ++i;
        } else if (i + 1 < text.size() && text[i + 1] == '\n') {
            ++crlf;
            i += 2;
        } else {
            ++cr;
            ++i;
        }
    }
    if (crlf + lf + cr == 0) return separatorText(otherwise);
    if (crlf >= lf && crlf >= cr) return "\r\n";
    return lf >= cr ? "\n" : "\r";
}

std::string joinFileModelOwnEnds(const FileModel& model, LineSeparator otherwise) {
    const std::string_view usual = usualLineEnd(model.text(), otherwise);
    std::size_t total = model.tail().size();
    for (std::string_view line : model.lines) total += line.size() + 2;
    std::string out;
    out.reserve(total);
    for (std::size_t i = 0; i < model.lines.size(); ++i) {
        out += model.lines[i];
        if (i + 1 == model.lines.size() && !model.endedWithLineEnd) break;
        const std::string_view own = lineEndAfter(model.lines[i]);
        out += own.empty() ? usual : own;
    }
    out += model.tail();
    return out;
}

}  // namespace vsr::engine
