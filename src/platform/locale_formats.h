#pragma once
#include <string>

#include "platform/civil_date.h"

namespace vsr::platform {

// The user's short date and long time formats and decimal separator, for the row texts.
class LocaleFormats {
public:
    virtual ~LocaleFormats() = default;
    // Local date of `t` in the short date format.
    virtual std::string shortDate(FileTime t) const = 0;
    // Local time of day of `t` in the long time format, without a zone.
    virtual std::string longTime(FileTime t) const = 0;
    virtual std::string decimalSeparator() const = 0;
};

// Without a desktop locale service: the C library's own formats of the current locale.
class PosixLocaleFormats final : public LocaleFormats {
public:
    std::string shortDate(FileTime t) const override;
    std::string longTime(FileTime t) const override;
    std::string decimalSeparator() const override;
};

// Fixed, locale-independent formats for tests: "YYYY-MM-DD", "HH:MM:SS" (local time) and ".".
class FakeLocaleFormats final : public LocaleFormats {
public:
    std::string shortDate(FileTime t) const override;
    std::string longTime(FileTime t) const override;
    std::string decimalSeparator() const override { return separator; }
    std::string separator = ".";
};

}  // namespace vsr::platform
