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
