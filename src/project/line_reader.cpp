#include "project/line_reader.h"

namespace vsr::project {

std::optional<std::string_view> LineReader::next() {
    if (pos_ >= bytes_.size()) return std::nullopt;
    const std::size_t end = bytes_.find_first_of("\r\n", pos_);
    if (end == std::string_view::npos) {
        std::string_view line = bytes_.substr(pos_);
        pos_ = bytes_.size();
        return line;
    }
    std::string_view line = bytes_.substr(pos_, end - pos_);
    pos_ = end + ((bytes_[end] == '\r' && end + 1 < bytes_.size() && bytes_[end + 1] == '\n') ? 2 : 1);
    return line;
}

std::size_t LineReader::linesLeft(std::size_t limit) const {
    LineReader probe = *this;
    std::size_t n = 0;
    while (n < limit && probe.next()) ++n;
    return n;
}

void LineWriter::line(std::string_view text) {
    out_ += oneLine(text);
    out_ += "\r\n";
}

std::string_view oneLine(std::string_view text) {
    const std::size_t br = text.find_first_of("\r\n");
    return br == std::string_view::npos ? text : text.substr(0, br);
}

}  // namespace vsr::project
