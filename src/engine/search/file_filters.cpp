#include "engine/search/file_filters.h"

#include <limits>

namespace vsr::engine {

bool skippedAsBackup(const SearchConditions& c, std::string_view name) {
    return c.createBackups && c.tab == Tab::SearchAndReplace && name.size() >= 4 &&
           name.substr(name.size() - 4) == ".bak";
}

bool passesSizeFilter(const SearchConditions& c, std::uint64_t size) {
    if (!c.sizeFilter) return true;
    const std::uint64_t unit = c.sizeUnit == SizeUnit::MB ? 1000000ULL : 1000ULL;
    const std::uint64_t value = c.sizeValue < 0 ? 0 : static_cast<std::uint64_t>(c.sizeValue);
    // Saturate instead of wrapping, so a huge limit stays huge.
    const std::uint64_t limit = value > std::numeric_limits<std::uint64_t>::max() / unit
                                    ? std::numeric_limits<std::uint64_t>::max()
                                    : value * unit;
    return c.sizeLimitKind == SizeLimitKind::Minimum ? size >= limit : size <= limit;
}

bool passesDateFilter(const SearchConditions& c, platform::FileTime lastWrite, platform::FileTime now) {
    if (!c.dateFilter) return true;
    if (c.dateLimitKind == DateLimitKind::Between) {
        platform::CivilDate d = platform::localDate(lastWrite);
        return d >= c.minDate && d <= c.maxDate;
    }
    const long long days = c.daysAgo < 0 ? 0 : c.daysAgo;
    return lastWrite >= now - std::chrono::hours(24) * days;
}

}  // namespace vsr::engine
