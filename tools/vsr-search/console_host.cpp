#include "console_host.h"

namespace vsr::tools {

void ConsoleHost::rowFound(results::ResultItem row, const std::vector<std::int64_t>& counts) {
    if (printRows) {
        std::string line = row.fullName();
        line += '\t';
        line += row.found;
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), out_);
    }
    for (std::int64_t n : counts) occurrences += n;
    engine::RecordingHost::rowFound(std::move(row), counts);
    if (onRowListed) onRowListed(list.count() - 1);
}

void ConsoleHost::messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) {
    engine::RecordingHost::messageBox(caption, text, icon);
    if (inModification) ++modificationMessages;
    std::fprintf(err_, "%s: %s\n", caption.c_str(), text.c_str());
}

}  // namespace vsr::tools
