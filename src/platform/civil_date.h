#pragma once
#include <chrono>
#include <compare>

namespace vsr::platform {

using FileTime = std::chrono::system_clock::time_point;

// A calendar date without time of day; the date filter compares these.
struct CivilDate {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    auto operator<=>(const CivilDate&) const = default;
};

// The local-time calendar date of a point in time.
CivilDate localDate(FileTime t);

// The date `months` calendar months earlier, the day clamped to the month's length.
CivilDate addMonths(CivilDate d, int months);

}  // namespace vsr::platform
