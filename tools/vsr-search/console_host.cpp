#include "console_host.h"

namespace vsr::tools {

void ConsoleHost::rowAdded(std::size_t index) {
    const results::ResultItem& row = list.row(index);
    std::string line = row.fullName();
    line += '\t';
    line += row.found;
    line += '\n';
    if (printRows) std::fwrite(line.data(), 1, line.size(), out_);
    if (driver_ && driver_->lastRun())
        for (std::int64_t n : driver_->lastRun()->terms().counts()) occurrences += n;
}

void ConsoleHost::messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) {
    engine::RecordingHost::messageBox(caption, text, icon);
    std::fprintf(err_, "%s: %s\n", caption.c_str(), text.c_str());
}

}  // namespace vsr::tools
