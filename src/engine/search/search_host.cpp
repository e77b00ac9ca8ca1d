#include "engine/search/search_host.h"

#include "results/row_texts.h"

namespace vsr::engine {

void SearchHost::rowFound(results::ResultItem row, const std::vector<std::int64_t>& counts) {
    results::ResultList& list = results();
    list.AddResultItem(std::move(row), list.collectReportCounts ? results::fullCountText(counts) : std::string());
}

void pushHistory(std::vector<std::string>& history, const std::string& text) {
    history.insert(history.begin(), text);
    for (std::size_t i = 1; i < history.size();) {
        if (history[i] == text) history.erase(history.begin() + static_cast<std::ptrdiff_t>(i));
        else ++i;
    }
}

}  // namespace vsr::engine
