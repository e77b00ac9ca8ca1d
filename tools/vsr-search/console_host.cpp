#include "console_host.h"

namespace vsr::tools {

void ConsoleHost::rowFound(results::ResultItem row, const std::vector<std::int64_t>& counts) {
    if (printRows) {
        std::string line;
        names.append(line, row.fullName(), '\t');
        line += row.found;
        if (chosenEncoding) {
            line += '\t';
            line += row.fileEncoding.empty() ? chosenEncoding : row.fileEncoding;
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), out_);
    }
    for (std::int64_t n : counts) occurrences += n;
    engine::SearchHost::rowFound(std::move(row), counts);
    if (onRowListed) onRowListed(list.count() - 1);
}

void ConsoleHost::messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) {
    ++messages;
    if (inModification) ++modificationMessages;
    std::fprintf(err_, "%s: %s\n", caption.c_str(), text.c_str());
}

void ConsoleHost::filesNotSearched(const std::vector<engine::UnsearchedFile>& files) {
    for (const engine::UnsearchedFile& f : files)
        std::fprintf(err_, "vsr-search: %s: not searched: %s\n", quotedName(f.path).c_str(), f.reason.c_str());
    unsearched += files.size();
}

}  // namespace vsr::tools
