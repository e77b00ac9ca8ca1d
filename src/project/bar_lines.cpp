#include "project/bar_lines.h"

namespace vsr::project {

std::vector<std::string> splitBarLines(std::string_view value) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '|') {
            lines.back() += value[i];
        } else if (i + 1 < value.size() && value[i + 1] == '|') {
            lines.back() += '|';
            ++i;
        } else {
            lines.emplace_back();
        }
    }
    return lines;
}

std::string barLinesText(std::string_view value) {
    if (value.empty()) return {};
    const std::vector<std::string> lines = splitBarLines(value);
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
    if (lines.back().empty()) text += '\n';
    return text;
}

}  // namespace vsr::project
