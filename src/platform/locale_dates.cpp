#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "platform/locale_formats.h"

namespace vsr::platform {

namespace {

bool isRealDate(const CivilDate& d) {
    using namespace std::chrono;
    return d.year >= 1 && d.year <= 9999 &&
           year_month_day{year{d.year}, month{static_cast<unsigned>(d.month)}, day{static_cast<unsigned>(d.day)}}.ok();
}

}  // namespace

std::string LocaleFormats::shortDateOf(const CivilDate& date) const {
    if (!isRealDate(date)) return {};
    // Formatted from the calendar fields themselves: years past 2262 have no clock time point.
    // Noon keeps the day the same whatever daylight-saving shift the zone has; mktime only
    // fills in the day of the week.
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    std::tm filled = tm;
    if (std::mktime(&filled) != static_cast<std::time_t>(-1)) tm.tm_wday = filled.tm_wday;
    char buf[128];
    const std::size_t n = std::strftime(buf, sizeof buf, "%x", &tm);
    return std::string(buf, n);
}

std::optional<CivilDate> LocaleFormats::parseShortDate(std::string_view text) const {
    std::string copy(text);
    std::tm tm{};
    const char* end = ::strptime(copy.c_str(), "%x", &tm);
    if (!end || *end != '\0') return std::nullopt;
    CivilDate d{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
    if (!isRealDate(d)) return std::nullopt;
    return d;
}

std::string FakeLocaleFormats::shortDateOf(const CivilDate& date) const {
    if (!isRealDate(date)) return {};
    char buf[16];
    const int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
    return std::string(buf, static_cast<std::size_t>(n));
}

std::optional<CivilDate> FakeLocaleFormats::parseShortDate(std::string_view text) const {
    // Exactly "YYYY-MM-DD".
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    auto number = [&](size_t from, size_t len, int& out) {
        auto [p, ec] = std::from_chars(text.data() + from, text.data() + from + len, out);
        return ec == std::errc() && p == text.data() + from + len;
    };
    CivilDate d;
    if (!number(0, 4, d.year) || !number(5, 2, d.month) || !number(8, 2, d.day)) return std::nullopt;
    if (!isRealDate(d)) return std::nullopt;
    return d;
}

}  // namespace vsr::platform
