#pragma once
#include <optional>
#include <string>
#include <string_view>

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
    // Whether the long time shows parts of a second (otherwise the times of one second read alike).
    virtual bool timeShowsFractions() const { return false; }
    // A calendar date in the short date format (settings and project files keep dates so).
    virtual std::string shortDateOf(const CivilDate& date) const;
    // Reads back a date written in the short date format; nothing when the text is not a
    // valid date in that format.
    virtual std::optional<CivilDate> parseShortDate(std::string_view text) const;
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
    std::optional<CivilDate> parseShortDate(std::string_view text) const override;
    std::string shortDateOf(const CivilDate& date) const override;
    std::string separator = ".";
};

}  // namespace vsr::platform
