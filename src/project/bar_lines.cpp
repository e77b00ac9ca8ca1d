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
    std::string text;
    bool first = true;
    for (const std::string& line : splitBarLines(value)) {
        if (!first) text += '\n';
        text += line;
        first = false;
    }
    return text;
}

}  // namespace vsr::project
