#include "platform/locale_formats.h"

#include <clocale>
#include <cstdio>
#include <ctime>

namespace vsr::platform {
namespace {

bool toLocal(FileTime t, std::tm& tm) {
    std::time_t secs = std::chrono::system_clock::to_time_t(t);
    return localtime_r(&secs, &tm) != nullptr;
}

std::string format(FileTime t, const char* pattern) {
    std::tm tm{};
    if (!toLocal(t, tm)) return {};
    char buf[128];
    std::size_t n = std::strftime(buf, sizeof buf, pattern, &tm);
    return std::string(buf, n);
}

}  // namespace

std::string PosixLocaleFormats::shortDate(FileTime t) const { return format(t, "%x"); }
std::string PosixLocaleFormats::longTime(FileTime t) const { return format(t, "%X"); }
std::string PosixLocaleFormats::decimalSeparator() const {
    const std::lconv* lc = std::localeconv();
    return lc && lc->decimal_point && *lc->decimal_point ? lc->decimal_point : ".";
}

std::string FakeLocaleFormats::shortDate(FileTime t) const { return format(t, "%Y-%m-%d"); }
std::string FakeLocaleFormats::longTime(FileTime t) const { return format(t, "%H:%M:%S"); }

}  // namespace vsr::platform
