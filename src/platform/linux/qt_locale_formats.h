#pragma once
#include <QString>

#include "platform/locale_formats.h"

namespace vsr::platform {

// The desktop locale's short date and long time formats (QLocale::system()). The
// time is shown without its zone. A two-digit year in the short date format is
// widened to four digits, so a written date always reads back as the same day.
class QtLocaleFormats final : public LocaleFormats {
public:
    QtLocaleFormats();
    std::string shortDate(FileTime t) const override;
    std::string longTime(FileTime t) const override;
    std::string decimalSeparator() const override;
    bool timeShowsFractions() const override { return timeFractions_; }
    std::string shortDateOf(const CivilDate& date) const override;
    std::optional<CivilDate> parseShortDate(std::string_view text) const override;

    const QString& dateFormat() const { return dateFormat_; }
    const QString& timeFormat() const { return timeFormat_; }

    // A Qt date format with "yy" widened to "yyyy"; quoted text is left alone.
    static QString withFourDigitYear(const QString& format);
    // A Qt time format without its zone fields ("t", "tt", ...) and the blanks before them.
    static QString withoutZone(const QString& format);

private:
    QString dateFormat_, timeFormat_;
    bool timeFractions_ = false;
};

}  // namespace vsr::platform
