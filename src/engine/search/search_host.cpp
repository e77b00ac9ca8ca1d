#include "engine/search/search_host.h"

#include "results/row_texts.h"

namespace vsr::engine {

void SearchHost::rowFound(results::ResultItem row, const std::vector<std::int64_t>& counts) {
    results::ResultList& list = results();
    list.AddResultItem(std::move(row), list.collectReportCounts ? results::fullCountText(counts) : std::string());
}

std::string unsearchedText(const std::vector<UnsearchedFile>& files, std::size_t shown) {
    if (files.empty()) return {};
    std::string text;
    if (files.size() == 1) {
        text = "1 file was not searched: " + files[0].reason;
    } else {
        // The reason of one file ("it is ...") said of them all.
        const std::string& why = files[0].reason;
        text = std::to_string(files.size()) + " files were not searched: " +
               (why.starts_with("it is ") ? "they are " + why.substr(6) : why);
    }
    text += ":";
    for (std::size_t i = 0; i < files.size() && i < shown; ++i) text += "\n" + files[i].path;
    if (files.size() > shown) text += "\n... and " + std::to_string(files.size() - shown) + " more";
    return text;
}

void pushHistory(std::vector<std::string>& history, const std::string& text) {
    history.insert(history.begin(), text);
    for (std::size_t i = 1; i < history.size();) {
        if (history[i] == text) history.erase(history.begin() + static_cast<std::ptrdiff_t>(i));
        else ++i;
    }
}

}  // namespace vsr::engine
