#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/query/masks.h"
#include "engine/query/query_terms.h"
#include "engine/query/search_conditions.h"
#include "platform/civil_date.h"

namespace vsr::engine {

// The tests a file must pass before its contents are looked at, beyond the masks: the folder
// ignore list, the file ignore list and the size and date filters. The walk applies them to
// folders and files on disk, and the same rules to the folders and members inside archives.
// Built once per run; const, so every examining thread may use it.
class WalkFilters {
public:
    // `now` is the time the date filter compares with; `fileIgnoreMasks` the ignore list's lines.
    WalkFilters(const SearchConditions& conditions, const std::vector<std::string>& fileIgnoreMasks,
                platform::FileTime now);

    // `dir` is a full folder name, with or without its trailing "/".
    bool directoryIgnored(const std::string& dir) const;
    bool fileIgnored(std::string_view name) const;
    bool infoFiltersOn() const { return conditions_.sizeFilter || conditions_.dateFilter; }
    bool passesInfo(std::uint64_t size, platform::FileTime lastWrite) const;

private:
    const SearchConditions& conditions_;
    std::vector<CompiledMask> dirMasks_;
    std::vector<FileNameMask> fileIgnoreMasks_;
    platform::FileTime now_;
};

}  // namespace vsr::engine
