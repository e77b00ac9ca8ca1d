#include "platform/civil_date.h"

#include <ctime>

namespace vsr::platform {

CivilDate localDate(FileTime t) {
    std::time_t secs = std::chrono::system_clock::to_time_t(t);
    std::tm tm{};
    if (!localtime_r(&secs, &tm)) return {};
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

CivilDate addMonths(CivilDate d, int months) {
    int index = d.year * 12 + (d.month - 1) + months;
    CivilDate r{index / 12, index % 12 + 1, d.day};
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int len = lengths[r.month - 1];
    bool leap = (r.year % 4 == 0 && r.year % 100 != 0) || r.year % 400 == 0;
    if (r.month == 2 && leap) len = 29;
    if (r.day > len) r.day = len;
    return r;
}

}  // namespace vsr::platform
