#include "engine/search/search_sink.h"

namespace vsr::engine {

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

}  // namespace vsr::engine
