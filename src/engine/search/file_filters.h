#pragma once
#include <string_view>

#include "engine/query/search_conditions.h"
#include "platform/file_system.h"

namespace vsr::engine {

// The backup rule: a Search and Replace run with "Create Backups" on skips names ending in
// ".bak" (exactly, case-sensitive), files and folders alike.
bool skippedAsBackup(const SearchConditions& c, std::string_view name);

// The size filter; limits are value x 1000 (KB) or x 1000000 (MB), sizes are 64-bit.
bool passesSizeFilter(const SearchConditions& c, std::uint64_t size);

// The date filter: Between compares local dates, both ends included; Newer than compares the
// full time with now - days.
bool passesDateFilter(const SearchConditions& c, platform::FileTime lastWrite, platform::FileTime now);

}  // namespace vsr::engine
