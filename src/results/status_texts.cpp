#include "results/status_texts.h"

namespace vsr::results {

std::string searchCountText(ListTab tab, long long count) {
    std::string text;
    if (tab == ListTab::SearchAndReplace)
        text = count == 1 ? "File in List:    " : "Files in List:    ";
    else
        text = count == 1 ? "Found File:    " : "Found Files:   ";
    return text + std::to_string(count);
}

std::string remainingCountText(long long count) {
    return (count == 1 ? "File in List:   " : "Files in List:   ") + std::to_string(count);
}

std::string runStartCountText(ListTab tab) {
    return tab == ListTab::SearchAndReplace ? "Files in List:   " : "Found Files:   ";
}

}  // namespace vsr::results
