#include <gtest/gtest.h>

#include "list_builder.h"
#include "platform/locale_formats.h"
#include "results/row_sort.h"

namespace vsr::results {
namespace {

using test::names;
using test::row;

// A locale whose short date is "D.M.YYYY", so text order and date order differ.
class DayMonthYearFormats final : public platform::LocaleFormats {
public:
    std::string shortDate(platform::FileTime) const override { return {}; }
    std::string longTime(platform::FileTime) const override { return {}; }
    std::string decimalSeparator() const override { return ","; }
    std::optional<platform::CivilDate> parseShortDate(std::string_view text) const override {
        int d = 0, m = 0, y = 0;
        char tail = 0;
        if (std::sscanf(std::string(text).c_str(), "%d.%d.%d%c", &d, &m, &y, &tail) != 3) return std::nullopt;
        return platform::CivilDate{y, m, d};
    }
};

TimeTextReader readerFor(const platform::LocaleFormats& f) {
    return [&f](std::string_view t) { return readTimeText(t, f); };
}

ResultList listOf(std::initializer_list<ResultItem> rows) {
    ResultList list;
    list.createResultColumn();
    for (const auto& r : rows) list.AddResultItem(r);
    return list;
}

TEST(RowSort, SizeSortsAsNumbersWithEitherDecimalSeparator) {
    for (const char* sep : {".", ","}) {
        auto s = [&](std::string whole, std::string frac) { return whole + sep + frac + " KB"; };
        ResultList list = listOf({row("a", "/d", "1", "", "", s("12", "0")), row("b", "/d", "1", "", "", s("1", "5")),
                                  row("c", "/d", "1", "", "", s("0", "005")), row("d", "/d", "1", "", "", s("9", "0")),
                                  row("e", "/d", "1", "", "", s("100", "3"))});
        int size = list.columnPosition(Column::Size);
        ASSERT_TRUE(SortByColumn(list, size, {}));
        EXPECT_EQ(names(list), (std::vector<std::string>{"c", "b", "d", "a", "e"})) << "separator " << sep;
        ASSERT_TRUE(SortByColumn(list, size, {}));
        EXPECT_EQ(names(list), (std::vector<std::string>{"e", "a", "d", "b", "c"})) << "separator " << sep;
    }
}

TEST(RowSort, FoundComparesTheLeadingNumber) {
    ResultList list = listOf({row("a", "/d", "10"), row("b", "/d", "9"), row("c", "/d", "3, 40, 2"),
                              row("d", "/d", "100,...")});
    ASSERT_TRUE(SortByColumn(list, list.columnPosition(Column::Found), {}));
    EXPECT_EQ(names(list), (std::vector<std::string>{"c", "b", "a", "d"}));
}

TEST(RowSort, TimeSortsOldestFirstThenNewestFirstThenNameStartsAscending) {
    DayMonthYearFormats formats;
    ResultList list = listOf({row("b", "/d", "1", "", "2.1.2026 10:00:00"), row("C", "/d", "1", "", "15.12.2025 09:00:00"),
                              row("a", "/d", "1", "", "2.1.2026 9:30:00")});
    const int time = list.columnPosition(Column::Time);
    ASSERT_TRUE(SortByColumn(list, time, readerFor(formats)));
    EXPECT_EQ(names(list), (std::vector<std::string>{"C", "a", "b"}));
    ASSERT_TRUE(SortByColumn(list, time, readerFor(formats)));
    EXPECT_EQ(names(list), (std::vector<std::string>{"b", "a", "C"}));
    // Another column starts ascending and forgets Time's direction.
    ASSERT_TRUE(SortByColumn(list, 0, readerFor(formats)));
    EXPECT_EQ(names(list), (std::vector<std::string>{"a", "b", "C"}));
    EXPECT_EQ(list.sortColumn, 0);
    EXPECT_FALSE(list.sortDescending[static_cast<std::size_t>(time)]);
    ASSERT_TRUE(SortByColumn(list, time, readerFor(formats)));
    EXPECT_EQ(names(list), (std::vector<std::string>{"C", "a", "b"}));
}

TEST(RowSort, CaptionsDecideWhenFoundIsAbsent) {
    ResultList list;
    list.removeFoundColumn();
    list.createResultColumn();
    for (auto r : {row("x", "/d", "", "RH", "", "9.0 KB"), row("y", "/d", "", "A", "", "10.0 KB"),
                   row("z", "/d", "", "h", "", "0.050 KB")})
        list.AddResultItem(r);
    // Position 2 now holds Attributes: text, case-insensitive.
    ASSERT_EQ(list.columnCaption(list.columns()[2]), "Attributes");
    ASSERT_TRUE(SortByColumn(list, 2, {}));
    EXPECT_EQ(names(list), (std::vector<std::string>{"y", "z", "x"}));
    ASSERT_TRUE(SortByColumn(list, list.columnPosition(Column::Size), {}));
    EXPECT_EQ(names(list), (std::vector<std::string>{"z", "x", "y"}));
}

TEST(RowSort, RowsKeepTheirIntervalsAndTheBrowsedRowIsFollowed) {
    ResultList list = listOf({row("b"), row("c"), row("a")});
    list.setInterval(0, {10, 25});
    list.setInterval(1, {-1, -1});
    list.browsedIndex = 1;  // "c"
    ASSERT_TRUE(SortByColumn(list, 0, {}));
    EXPECT_EQ(names(list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(list.row(0).interval, (ModificationInterval{0, 0}));
    EXPECT_EQ(list.row(1).interval, (ModificationInterval{10, 25}));
    EXPECT_EQ(list.row(2).interval, (ModificationInterval{-1, -1}));
    EXPECT_EQ(list.browsedIndex, 2);
}

TEST(RowSort, IgnoredWhileBusy) {
    ResultList list = listOf({row("b"), row("a")});
    list.busy = true;
    EXPECT_FALSE(SortByColumn(list, 0, {}));
    EXPECT_EQ(names(list), (std::vector<std::string>{"b", "a"}));
    EXPECT_FALSE(list.sortDescending[0]);
}

TEST(RowSort, UnreadableNumbersAndDatesSortFirst) {
    // A "Not Found" row has its columns emptied; it must not break the order of the others.
    DayMonthYearFormats formats;
    ResultList list = listOf({row("a", "/d", "5", "", "3.3.2026 1:00:00", "2.0 KB"), row("b", "/d", "", "", "", ""),
                              row("c", "/d", "1", "", "1.3.2026 1:00:00", "1.0 KB")});
    for (Column c : {Column::Found, Column::Size, Column::Time}) {
        list.sortDescending.fill(false);
        ASSERT_TRUE(SortByColumn(list, list.columnPosition(c), readerFor(formats)));
        EXPECT_EQ(names(list), (std::vector<std::string>{"b", "c", "a"})) << list.columnCaption(c);
    }
}

TEST(ReadTimeText, ReadsLocaleDatesAndTwelveHourTimes) {
    DayMonthYearFormats formats;
    struct Case {
        const char* earlier;
        const char* later;
    } cases[] = {
        {"2.1.2026 11:00:00 AM", "2.1.2026 1:00:00 PM"},
        {"2.1.2026 12:30:00 AM", "2.1.2026 1:00:00 AM"},
        {"31.12.2025 23:59:59", "1.1.2026 0:00:00"},
        {"2.1.2026  9:00", "2.1.2026 10:00"},  // a padded time still reads
    };
    for (const Case& c : cases) {
        auto a = readTimeText(c.earlier, formats), b = readTimeText(c.later, formats);
        ASSERT_TRUE(a && b) << c.earlier << " / " << c.later;
        EXPECT_LT(*a, *b) << c.earlier << " / " << c.later;
    }
    EXPECT_FALSE(readTimeText("not a date", formats));
    EXPECT_FALSE(readTimeText("2.1.2026", formats));
}

}  // namespace
}  // namespace vsr::results
