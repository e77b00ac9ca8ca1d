#include <gtest/gtest.h>

#include <chrono>

#include "list_builder.h"
#include "results/row_sort.h"
#include "results/row_texts.h"

namespace vsr::results {
namespace {

using test::names;
using test::row;

// A row with the values a search gives it; its texts are deliberately in another order, so a
// sort that read the texts would fail.
ResultItem valued(std::string name, std::int64_t count, std::uint64_t bytes, int minutes) {
    ResultItem r = row(std::move(name), "/d", "text " + std::to_string(100 - count));
    r.firstCount = count;
    r.bytes = bytes;
    r.size = std::to_string(1000000 - bytes) + " KB";
    r.lastWrite = platform::FileTime{} + std::chrono::minutes(minutes);
    r.time = std::to_string(100000 - minutes);
    return r;
}

ResultList listOf(std::initializer_list<ResultItem> rows) {
    ResultList list;
    list.createResultColumn();
    for (const auto& r : rows) list.AddResultItem(r);
    return list;
}

TEST(RowSort, NumberColumnsSortByValueUpThenDown) {
    ResultList list = listOf({valued("a", 10, 12000, 5), valued("b", 9, 1500, 60), valued("c", 3, 5, 1),
                              valued("d", 100, 9000, 61)});
    struct Case {
        Column column;
        std::vector<std::string> ascending;
    } cases[] = {
        {Column::Found, {"c", "b", "a", "d"}},
        {Column::Size, {"c", "b", "d", "a"}},
        {Column::Time, {"c", "a", "b", "d"}},
    };
    for (const Case& c : cases) {
        const int position = list.columnPosition(c.column);
        ASSERT_TRUE(SortByColumn(list, position));
        EXPECT_EQ(names(list), c.ascending) << list.columnCaption(c.column);
        ASSERT_TRUE(SortByColumn(list, position));
        EXPECT_EQ(names(list), std::vector<std::string>(c.ascending.rbegin(), c.ascending.rend()))
            << list.columnCaption(c.column);
    }
}

TEST(RowSort, AnotherColumnStartsAscendingAndForgetsTheDirection) {
    ResultList list = listOf({valued("b", 1, 1, 3), valued("C", 1, 1, 1), valued("a", 1, 1, 2)});
    const int time = list.columnPosition(Column::Time);
    ASSERT_TRUE(SortByColumn(list, time));
    ASSERT_TRUE(SortByColumn(list, time));
    EXPECT_EQ(names(list), (std::vector<std::string>{"b", "a", "C"}));
    ASSERT_TRUE(SortByColumn(list, 0));
    EXPECT_EQ(names(list), (std::vector<std::string>{"a", "b", "C"}));
    EXPECT_EQ(list.sortColumn, 0);
    EXPECT_FALSE(list.sortDescending[static_cast<std::size_t>(time)]);
    ASSERT_TRUE(SortByColumn(list, time));
    EXPECT_EQ(names(list), (std::vector<std::string>{"C", "a", "b"}));
}

TEST(RowSort, EqualRowsKeepTheirOrderInBothDirections) {
    ResultList list = listOf({valued("x", 2, 7, 1), valued("y", 1, 7, 1), valued("z", 3, 7, 1)});
    const int size = list.columnPosition(Column::Size);
    ASSERT_TRUE(SortByColumn(list, size));
    EXPECT_EQ(names(list), (std::vector<std::string>{"x", "y", "z"}));
    ASSERT_TRUE(SortByColumn(list, size));
    EXPECT_EQ(names(list), (std::vector<std::string>{"x", "y", "z"}));
}

TEST(RowSort, TextColumnsFoldAsciiCaseAndShiftWhileFoundIsAbsent) {
    ResultList list;
    list.removeFoundColumn();
    list.createResultColumn();
    for (auto r : {valued("x", 0, 9000, 1), valued("y", 0, 10000, 1), valued("z", 0, 50, 1)}) list.AddResultItem(r);
    list.mutableRow(0).attributes = "RH";
    list.mutableRow(1).attributes = "A";
    list.mutableRow(2).attributes = "h";
    // Position 2 now holds Attributes: text, case-insensitive.
    ASSERT_EQ(list.columnCaption(list.columns()[2]), "Attributes");
    ASSERT_TRUE(SortByColumn(list, 2));
    EXPECT_EQ(names(list), (std::vector<std::string>{"y", "z", "x"}));
    ASSERT_TRUE(SortByColumn(list, list.columnPosition(Column::Size)));
    EXPECT_EQ(names(list), (std::vector<std::string>{"z", "x", "y"}));
}

TEST(RowSort, RowsKeepTheirIntervalsAndTheBrowsedRowIsFollowed) {
    ResultList list = listOf({row("b"), row("c"), row("a")});
    list.setInterval(0, {10, 25});
    list.setInterval(1, {-1, -1});
    list.browsedIndex = 1;  // "c"
    list.currentIndex = 2;  // "a"
    ASSERT_TRUE(SortByColumn(list, 0));
    EXPECT_EQ(names(list), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(list.row(0).interval, (ModificationInterval{0, 0}));
    EXPECT_EQ(list.row(1).interval, (ModificationInterval{10, 25}));
    EXPECT_EQ(list.row(2).interval, (ModificationInterval{-1, -1}));
    EXPECT_EQ(list.browsedIndex, 2);
    EXPECT_EQ(list.currentIndex, 0);
}

TEST(RowSort, IgnoredWhileBusy) {
    ResultList list = listOf({row("b"), row("a")});
    list.busy = true;
    EXPECT_FALSE(SortByColumn(list, 0));
    EXPECT_EQ(names(list), (std::vector<std::string>{"b", "a"}));
    EXPECT_FALSE(list.sortDescending[0]);
}

TEST(RowSort, RowsWithoutValuesSortFirst) {
    // A "Not Found" row has its columns emptied; it must not break the order of the others.
    ResultList list = listOf({valued("a", 5, 2000, 3), valued("b", 7, 9000, 9), valued("c", 1, 1000, 1)});
    clearFileColumns(list.mutableRow(1));
    for (Column c : {Column::Found, Column::Size, Column::Time}) {
        list.sortDescending.fill(false);
        ASSERT_TRUE(SortByColumn(list, list.columnPosition(c)));
        EXPECT_EQ(names(list), (std::vector<std::string>{"b", "c", "a"})) << list.columnCaption(c);
    }
}

}  // namespace
}  // namespace vsr::results
