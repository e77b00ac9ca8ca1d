#include "engine/modify/edit_choice.h"

#include <algorithm>
#include <functional>

namespace vsr::engine {

bool SkippedEdits::skipped(std::size_t ordinal) const {
    return std::binary_search(ordinals_.begin(), ordinals_.end(), ordinal);
}

void SkippedEdits::skip(std::size_t ordinal) {
    const auto at = std::lower_bound(ordinals_.begin(), ordinals_.end(), ordinal);
    if (at == ordinals_.end() || *at != ordinal) ordinals_.insert(at, ordinal);
}

void SkippedEdits::keep(std::size_t ordinal) {
    const auto at = std::lower_bound(ordinals_.begin(), ordinals_.end(), ordinal);
    if (at != ordinals_.end() && *at == ordinal) ordinals_.erase(at);
}

void SkippedEdits::toggle(std::size_t ordinal) {
    const auto at = std::lower_bound(ordinals_.begin(), ordinals_.end(), ordinal);
    if (at != ordinals_.end() && *at == ordinal) ordinals_.erase(at);
    else ordinals_.insert(at, ordinal);
}

void SkippedEdits::skipRange(std::size_t first, std::size_t end) {
    if (first >= end) return;
    // The ordinals outside [first, end) stay; the range is put in whole.
    const auto from = std::lower_bound(ordinals_.begin(), ordinals_.end(), first);
    const auto to = std::lower_bound(from, ordinals_.end(), end);
    std::vector<std::size_t> range(end - first);
    for (std::size_t i = 0; i < range.size(); ++i) range[i] = first + i;
    const auto at = ordinals_.erase(from, to);
    ordinals_.insert(at, range.begin(), range.end());
}

std::uint64_t reviewHash(std::string_view bytes) {
    // Only compared within one process run: the standard library's hash of bytes suffices.
    return static_cast<std::uint64_t>(std::hash<std::string_view>{}(bytes)) ^ (static_cast<std::uint64_t>(bytes.size()) << 1);
}

const SkippedEdits* EditChoice::of(const std::string& fullName) const {
    const auto it = files_.find(fullName);
    return it == files_.end() || (it->second.empty() && !it->second.reviewed) ? nullptr : &it->second;
}

bool EditChoice::empty() const {
    return std::all_of(files_.begin(), files_.end(), [](const auto& file) { return file.second.empty(); });
}

std::size_t EditChoice::skippedCount() const {
    std::size_t n = 0;
    for (const auto& file : files_) n += file.second.count();
    return n;
}

}  // namespace vsr::engine
