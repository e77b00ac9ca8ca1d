#include "engine/search/walk_filters.h"

#include "engine/search/file_filters.h"

namespace vsr::engine {

WalkFilters::WalkFilters(const SearchConditions& c, const std::vector<std::string>& fileIgnoreMasks,
                         platform::FileTime now)
    : conditions_(c), now_(now) {
    if (c.ignoreDirectories) {
        for (const std::string& raw : c.directoryIgnoreList) {
            std::string line(trim(raw));
            if (line.empty()) continue;
            if (line.back() != '/') line += '/';
            if (c.ignoreSubfoldersToo) line += '*';
            dirMasks_.emplace_back(line);
        }
    }
    for (const std::string& m : fileIgnoreMasks) fileIgnoreMasks_.emplace_back(m);
}

bool WalkFilters::directoryIgnored(const std::string& dir) const {
    if (dirMasks_.empty()) return false;
    std::string withSlash = dir;
    if (withSlash.empty() || withSlash.back() != '/') withSlash += '/';
    for (const CompiledMask& m : dirMasks_)
        if (m.matches(withSlash)) return true;
    return false;
}

bool WalkFilters::fileIgnored(std::string_view name) const {
    for (const FileNameMask& m : fileIgnoreMasks_)
        if (m.matches(name)) return true;
    return false;
}

bool WalkFilters::passesInfo(std::uint64_t size, platform::FileTime lastWrite) const {
    return passesSizeFilter(conditions_, size) && passesDateFilter(conditions_, lastWrite, now_);
}

}  // namespace vsr::engine
