#include <gtest/gtest.h>

#include "results/result_list.h"

namespace vsr::results {
namespace {

ResultItem item(const std::string& name) {
    ResultItem r;
    r.name = name;
    r.path = "/d";
    return r;
}

TEST(ResultList, IntervalTexts) {
    struct Case {
        ModificationInterval interval;
        const char* text;
    } cases[] = {{{-1, -1}, "Nil"}, {{0, 0}, "All file"}, {{10, 25}, "10 - 25"},
                 {{0, 10}, "Top - 10"}, {{5, 0}, "5 - Bottom"}};
    for (const Case& c : cases) EXPECT_EQ(intervalText(c.interval), c.text);
}

TEST(ResultList, ShowAndHideRowInterval) {
    struct Case {
        RowStatus status;
        ModificationInterval interval;
        const char* shown;
        const char* hidden;
    } cases[] = {
        {RowStatus::Found, {0, 0}, "Found       All file", "Found"},
        {RowStatus::Modified, {10, 25}, "Modified    \\10 - 25", "Modified"},
        {RowStatus::Undid, {-1, -1}, "Undid        \\Nil", "Undid"},
        {RowStatus::FailedModification, {0, 7}, "Found       Top - 7", "Found"},
        {RowStatus::FailedUndo, {0, 0}, "Found       All file", "Found"},
        {RowStatus::NotFound, {0, 0}, "Not Found", "Not Found"},
    };
    for (const Case& c : cases) {
        ResultList list;
        list.AddResultItem(item("a"));
        list.setInterval(0, c.interval);
        list.SetResultStatus(0, c.status);
        list.ShowRowInterval(0);
        EXPECT_EQ(list.row(0).result, c.shown) << statusWord(c.status);
        list.HideRowInterval(0);
        EXPECT_EQ(list.row(0).result, c.hidden) << statusWord(c.status);
    }
    // A failed row keeps its text when hidden directly.
    ResultList list;
    list.AddResultItem(item("a"));
    list.SetResultStatus(0, RowStatus::FailedUndo);
    list.HideRowInterval(0);
    EXPECT_EQ(list.row(0).result, "Failed Undo");
}

TEST(ResultList, RefreshIntervalDisplaySwitchesCaptionAndRows) {
    ResultList list;
    list.createResultColumn();
    list.AddResultItem(item("a"));
    list.AddResultItem(item("b"));
    list.setInterval(1, {3, 0});
    list.RefreshIntervalDisplay(2, true, true);
    EXPECT_EQ(list.resultCaption(), "Result    |  Modification Interval");
    EXPECT_EQ(list.row(1).result, "Found       3 - Bottom");
    // Rows added while intervals show carry the whole-file text.
    list.AddResultItem(item("c"));
    EXPECT_EQ(list.row(2).result, "Found       All file");
    list.RefreshIntervalDisplay(2, true, false);
    EXPECT_EQ(list.resultCaption(), "Result");
    EXPECT_EQ(list.row(1).result, "Found");
    list.RefreshIntervalDisplay(2, true, true);
    list.RefreshIntervalDisplay(1);
    EXPECT_EQ(list.row(2).result, "Found");
}

TEST(ResultList, FoundColumnRemovedAndReinsertedAtPositionTwo) {
    ResultList list;
    EXPECT_EQ(list.columns().size(), 7u);
    list.createResultColumn();
    EXPECT_EQ(list.columnPosition(Column::Result), 7);
    list.removeFoundColumn();
    EXPECT_EQ(list.columnPosition(Column::Found), -1);
    EXPECT_EQ(list.columnPosition(Column::Attributes), 2);
    EXPECT_EQ(list.columnPosition(Column::Result), 6);
    list.insertFoundColumn();
    EXPECT_EQ(list.columnPosition(Column::Found), 2);
    EXPECT_EQ(list.columnCaption(Column::Found), "Found");
    // While Found is absent, new rows don't get the whole-file interval text.
    list.removeFoundColumn();
    list.intervalDisplay = true;
    list.AddResultItem(item("a"));
    EXPECT_EQ(list.row(0).result, "Found");
}

TEST(ResultList, RowsKeepTheirIntervalsWhenRemovedOrReordered) {
    ResultList list;
    for (const char* n : {"a", "b", "c", "d"}) list.AddResultItem(item(n));
    list.setInterval(1, {2, 3});
    list.setInterval(3, {-1, -1});
    list.removeRows({2, 0, 2});
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(list.row(0).name, "b");
    EXPECT_EQ(list.row(0).interval, (ModificationInterval{2, 3}));
    list.reorder({1, 0});
    EXPECT_EQ(list.row(0).name, "d");
    EXPECT_TRUE(list.row(0).interval.isNil());
    list.ClearResults();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.tab, ListTab::None);
}

TEST(ResultList, SelectionReaders) {
    ResultList list;
    for (const char* n : {"a", "b", "c"}) list.AddResultItem(item(n));
    EXPECT_EQ(list.firstSelected(), -1);
    list.setSelected(2, true);
    list.setSelected(1, true);
    EXPECT_EQ(list.selectedRows(), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(list.firstSelected(), 1);
    list.selectOnly(0);
    EXPECT_EQ(list.selectedCount(), 1u);
    EXPECT_EQ(list.currentFullName, "/d/a");
}

TEST(ResultList, SelectedCountFollowsEveryChange) {
    // The count is kept, not recounted: every way rows come and go must keep it right.
    ResultList list;
    for (const char* n : {"a", "b", "c", "d"}) list.AddResultItem(item(n));
    list.setSelected(1, true);
    list.setSelected(1, true);
    list.setSelected(3, true);
    EXPECT_EQ(list.selectedCount(), 2u);
    list.setSelected(0, false);
    EXPECT_EQ(list.selectedCount(), 2u);
    list.reorder({3, 2, 1, 0});
    EXPECT_EQ(list.selectedCount(), 2u);
    list.removeRows({0});  // "d", selected
    EXPECT_EQ(list.selectedCount(), 1u);
    EXPECT_EQ(list.firstSelected(), 1);
    list.deselectAll();
    EXPECT_EQ(list.selectedCount(), 0u);
    EXPECT_EQ(list.firstSelected(), -1);
    ResultItem chosen = item("e");
    chosen.selected = true;
    list.AddResultItem(chosen);
    EXPECT_EQ(list.selectedCount(), 1u);
    list.ClearResults();
    EXPECT_EQ(list.selectedCount(), 0u);
}

TEST(ModificationInterval, InsideRule) {
    EXPECT_TRUE((ModificationInterval{0, 0}).contains(1));
    EXPECT_FALSE((ModificationInterval{-1, -1}).contains(1));
    EXPECT_TRUE((ModificationInterval{0, 10}).contains(10));
    EXPECT_FALSE((ModificationInterval{0, 10}).contains(11));
    EXPECT_FALSE((ModificationInterval{5, 0}).contains(4));
    EXPECT_TRUE((ModificationInterval{5, 0}).contains(400000));
}

}  // namespace
}  // namespace vsr::results
