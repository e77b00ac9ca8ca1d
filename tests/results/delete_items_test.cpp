#include <gtest/gtest.h>

#include "list_builder.h"
#include "results/delete_items.h"

namespace vsr::results {
namespace {

using test::names;
using test::row;

ResultList fiveRows() {
    ResultList list;
    list.createResultColumn();
    for (const char* n : {"r1", "r2", "r3", "r4", "r5"}) list.AddResultItem(row(n));
    return list;
}

TEST(DeleteItems, SelectsTheRowThatFollowedTheLastDeletedOne) {
    struct Case {
        std::vector<std::size_t> select;
        std::vector<std::string> left;
        std::string selectedName;
        std::string count;
    } cases[] = {
        {{1, 2}, {"r1", "r4", "r5"}, "r4", "Files in List:   3"},
        {{0, 2}, {"r2", "r4", "r5"}, "r4", "Files in List:   3"},
        {{3, 4}, {"r1", "r2", "r3"}, "r3", "Files in List:   3"},  // nothing followed: the last row
        {{4}, {"r1", "r2", "r3", "r4"}, "r4", "Files in List:   4"},
        {{0, 1, 2, 4}, {"r4"}, "r4", "File in List:   1"},
        {{1, 2, 3, 4}, {"r1"}, "r1", "File in List:   1"},
    };
    for (const Case& c : cases) {
        ResultList list = fiveRows();
        list.setInterval(3, {7, 9});
        for (std::size_t i : c.select) list.setSelected(i, true);
        DeleteItemsOutcome out = DeleteSelectedItems(list);
        SCOPED_TRACE(c.count + " " + c.selectedName);
        EXPECT_FALSE(out.nothingSelected);
        EXPECT_EQ(names(list), c.left);
        EXPECT_EQ(out.deleted, c.select.size());
        EXPECT_EQ(out.remaining, c.left.size());
        EXPECT_EQ(out.countText, c.count);
        ASSERT_GE(out.selectedIndex, 0);
        EXPECT_EQ(list.row(static_cast<std::size_t>(out.selectedIndex)).name, c.selectedName);
        EXPECT_EQ(list.selectedCount(), 1u);
        EXPECT_EQ(list.currentIndex, out.selectedIndex);
        for (const auto& r : list.rows())
            if (r.name == "r4") {
                EXPECT_EQ(r.interval, (ModificationInterval{7, 9}));
            }
        EXPECT_FALSE(out.listEmptied);
    }
}

TEST(DeleteItems, NoSelectionChangesNothing) {
    ResultList list = fiveRows();
    DeleteItemsOutcome out = DeleteSelectedItems(list);
    EXPECT_TRUE(out.nothingSelected);
    EXPECT_EQ(list.count(), 5u);
    EXPECT_EQ(std::string(kDeleteItemsNoSelection), "Please select some items");
    EXPECT_EQ(std::string(kDeleteItemsCaption), "List: Delete Items");
}

TEST(DeleteItems, DeletingEveryRowEmptiesTheList) {
    ResultList list = fiveRows();
    list.tab = ListTab::SearchAndReplace;
    list.currentIndex = 2;
    for (std::size_t i = 0; i < 5; ++i) list.setSelected(i, true);
    DeleteItemsOutcome out = DeleteSelectedItems(list);
    EXPECT_TRUE(out.listEmptied);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(out.countText, "");
    EXPECT_EQ(out.selectedIndex, -1);
    EXPECT_EQ(list.currentIndex, -1);
}

TEST(DeleteItems, TheBrowsedRowIsFollowedOrForgotten) {
    ResultList list = fiveRows();
    list.browsedIndex = 4;
    list.browsedName = "r5";
    list.setSelected(0, true);
    list.setSelected(2, true);
    DeleteSelectedItems(list);
    EXPECT_EQ(list.browsedIndex, 2);
    EXPECT_EQ(list.row(2).name, "r5");

    list.setSelected(2, true);
    DeleteSelectedItems(list);
    EXPECT_EQ(list.browsedIndex, -1);
    EXPECT_EQ(list.browsedName, "");
}

}  // namespace
}  // namespace vsr::results
