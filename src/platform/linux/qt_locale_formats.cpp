#include "platform/linux/qt_locale_formats.h"

#include <QDateTime>
#include <QLocale>

namespace vsr::platform {

namespace {

QDateTime localDateTime(FileTime t) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime);
}

// Calls fn(start, length, quoted) for each run of equal letters and each other character.
template <class Fn>
void forEachField(const QString& format, Fn fn) {
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            fn(i, 1, true);
            ++i;
            continue;
        }
        qsizetype n = 1;
        if (!quoted && c.isLetter())
            while (i + n < format.size() && format[i + n] == c) ++n;
        fn(i, n, quoted);
        i += n;
    }
}

}  // namespace

QString QtLocaleFormats::withFourDigitYear(const QString& format) {
    QString out;
    forEachField(format, [&](qsizetype at, qsizetype n, bool quoted) {
        const QString field = format.mid(at, n);
        out += (!quoted && field == QStringLiteral("yy")) ? QStringLiteral("yyyy") : field;
    });
    return out;
}

QString QtLocaleFormats::withoutZone(const QString& format) {
    QString out;
    forEachField(format, [&](qsizetype at, qsizetype n, bool quoted) {
        if (!quoted && format[at] == QLatin1Char('t')) {
            while (out.endsWith(QLatin1Char(' '))) out.chop(1);
            return;
        }
        out += format.mid(at, n);
    });
    return out.trimmed();
}

QtLocaleFormats::QtLocaleFormats()
    : dateFormat_(withFourDigitYear(QLocale::system().dateFormat(QLocale::ShortFormat))),
      timeFormat_(withoutZone(QLocale::system().timeFormat(QLocale::LongFormat))) {
    forEachField(timeFormat_, [&](qsizetype at, qsizetype, bool quoted) {
        if (!quoted && timeFormat_[at] == QLatin1Char('z')) timeFractions_ = true;
    });
}

std::string QtLocaleFormats::shortDate(FileTime t) const {
    return QLocale::system().toString(localDateTime(t).date(), dateFormat_).toStdString();
}

std::string QtLocaleFormats::longTime(FileTime t) const {
    return QLocale::system().toString(localDateTime(t).time(), timeFormat_).toStdString();
}

std::string QtLocaleFormats::decimalSeparator() const { return QLocale::system().decimalPoint().toStdString(); }

std::string QtLocaleFormats::shortDateOf(const CivilDate& date) const {
    return QLocale::system().toString(QDate(date.year, date.month, date.day), dateFormat_).toStdString();
}

std::optional<CivilDate> QtLocaleFormats::parseShortDate(std::string_view text) const {
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
    QDate date = QLocale::system().toDate(s, dateFormat_);
    if (!date.isValid()) {
        // Files written with the locale's own two-digit years: 00-49 are this century.
        date = QLocale::system().toDate(s, QLocale::ShortFormat);
        if (date.isValid() && date.year() < 1950) date = date.addYears(100);
    }
    if (!date.isValid() || date.year() < 1 || date.year() > 9999) return std::nullopt;
    return CivilDate{date.year(), date.month(), date.day()};
}

}  // namespace vsr::platform
