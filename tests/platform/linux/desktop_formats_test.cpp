#include <gtest/gtest.h>

#include "platform/linux/mime_type_names.h"
#include "platform/linux/qt_locale_formats.h"

namespace vsr::platform {
namespace {

TEST(LocaleFormats, TwoDigitYearsAreWidened) {
    struct Case {
        const char* format;
        const char* widened;
    };
    for (const Case& c : {Case{"M/d/yy", "M/d/yyyy"}, Case{"dd.MM.yyyy", "dd.MM.yyyy"},
                          Case{"yy-MM-dd", "yyyy-MM-dd"}, Case{"d 'yy' yy", "d 'yy' yyyy"}}) {
        EXPECT_EQ(QtLocaleFormats::withFourDigitYear(QString::fromLatin1(c.format)), QString::fromLatin1(c.widened))
            << c.format;
    }
}

TEST(LocaleFormats, TimeLosesItsZone) {
    struct Case {
        const char* format;
        const char* withoutZone;
    };
    for (const Case& c : {Case{"HH:mm:ss t", "HH:mm:ss"}, Case{"h:mm:ss AP t", "h:mm:ss AP"},
                          Case{"HH:mm:ss tttt", "HH:mm:ss"}, Case{"t HH:mm", "HH:mm"},
                          Case{"HH:mm 'at' ss", "HH:mm 'at' ss"}}) {
        EXPECT_EQ(QtLocaleFormats::withoutZone(QString::fromLatin1(c.format)), QString::fromLatin1(c.withoutZone))
            << c.format;
    }
}

TEST(LocaleFormats, ShortDatesReadBackAsTheSameDay) {
    QtLocaleFormats formats;
    for (const CivilDate& d : {CivilDate{2026, 12, 8}, CivilDate{1999, 1, 31}, CivilDate{2024, 2, 29},
                               CivilDate{1901, 7, 4}, CivilDate{2070, 10, 1}}) {
        const std::string text = formats.shortDateOf(d);
        EXPECT_EQ(formats.parseShortDate(text), d) << text;
    }
    EXPECT_EQ(formats.parseShortDate("not a date"), std::nullopt);
    EXPECT_EQ(formats.parseShortDate(""), std::nullopt);
}

TEST(LocaleFormats, FormatsWithoutADesktopReadTheirOwnDatesBack) {
    PosixLocaleFormats posix;
    FakeLocaleFormats fake;
    for (const CivilDate& d : {CivilDate{2026, 12, 8}, CivilDate{2024, 2, 29}, CivilDate{2000, 1, 1}}) {
        EXPECT_EQ(posix.parseShortDate(posix.shortDateOf(d)), d);
        EXPECT_EQ(fake.parseShortDate(fake.shortDateOf(d)), d);
    }
    // The whole range a date picker holds, also where no clock time point reaches (past 2262).
    for (const CivilDate& d : {CivilDate{1, 1, 1}, CivilDate{1601, 3, 1}, CivilDate{2263, 6, 15}, CivilDate{9999, 12, 31}})
        EXPECT_EQ(fake.parseShortDate(fake.shortDateOf(d)), d);
    EXPECT_FALSE(posix.shortDateOf(CivilDate{9999, 12, 31}).empty());
    EXPECT_EQ(posix.shortDateOf(CivilDate{2026, 2, 30}), "");
    for (const char* bad : {"2026-02-30", "2026-13-01", "2026-1-01", "20260101", "2026-01-01 ", ""})
        EXPECT_EQ(fake.parseShortDate(bad), std::nullopt) << bad;
}

TEST(LocaleFormats, FileTimesAreShownWithoutZone) {
    QtLocaleFormats formats;
    const auto t = std::chrono::system_clock::now();
    EXPECT_EQ(formats.shortDate(t), formats.shortDateOf(localDate(t)));
    const std::string time = formats.longTime(t);
    EXPECT_FALSE(time.empty());
    EXPECT_EQ(time.find("UTC"), std::string::npos);
    EXPECT_EQ(time.find("GMT"), std::string::npos);
}

TEST(TypeNames, KnownExtensionsHaveNamesAndIcons) {
    MimeTypeNames names;
    ASSERT_TRUE(names.typeName("notes.txt"));
    EXPECT_FALSE(names.typeName("notes.txt")->empty());
    EXPECT_EQ(names.typeName("NOTES.TXT"), names.typeName("notes.txt"));
    EXPECT_TRUE(names.typeName("page.html"));
    EXPECT_EQ(names.iconName("notes.txt"), "text-plain");
}

TEST(TypeNames, UnknownNamesFallBack) {
    MimeTypeNames names;
    EXPECT_EQ(names.typeName("data.zqxw"), std::nullopt);
    EXPECT_EQ(names.iconName("data.zqxw"), "");
    EXPECT_EQ(names.typeName("noextension"), std::nullopt);
}

}  // namespace
}  // namespace vsr::platform
