#include <gtest/gtest.h>

#include "engine/viewer/lines_viewer_intervals.h"

namespace vsr::engine {
namespace {

using I = ModificationInterval;

TEST(LinesViewerIntervals, MarkFromAndToKeepBothEndsConsistent) {
    struct Case {
        bool from;  // Mark From, else Mark To
        I before;
        std::int32_t line;
        I after;
    } cases[] = {
        {false, {20, 0}, 10, {0, 10}},   // Mark To above From: From goes to the top
        {false, {5, 0}, 10, {5, 10}},
        {true, {0, 5}, 10, {10, 0}},     // Mark From below To: To goes to the bottom
        {true, {0, 50}, 10, {10, 50}},
        {true, {-1, -1}, 7, {7, 0}},     // never only one end unmarked
        {false, {-1, -1}, 7, {0, 7}},
        {true, {3, 9}, 9, {9, 9}},
    };
    for (const Case& c : cases) {
        I got = c.from ? markedFrom(c.before, c.before, c.line) : markedTo(c.before, c.before, c.line);
        EXPECT_EQ(got, c.after) << c.from << " " << c.before.from << "," << c.before.to << " @" << c.line;
    }
}

TEST(LinesViewerIntervals, InsideRule) {
    EXPECT_TRUE(lineInsideInterval({0, 0}, 1));
    EXPECT_TRUE(lineInsideInterval({3, 5}, 3));
    EXPECT_TRUE(lineInsideInterval({3, 5}, 5));
    EXPECT_FALSE(lineInsideInterval({3, 5}, 6));
    EXPECT_FALSE(lineInsideInterval({3, 5}, 2));
    EXPECT_TRUE(lineInsideInterval({3, 0}, 1000000));
    EXPECT_TRUE(lineInsideInterval({0, 5}, 1));
    EXPECT_FALSE(lineInsideInterval({-1, -1}, 1));
    EXPECT_FALSE(lineInsideInterval({0, 0}, 0));
}

TEST(LinesViewerIntervals, StatusTexts) {
    EXPECT_EQ(intervalStatusText({-1, -1}), "Modification interval for the browsed file: The marked lines are absent");
    EXPECT_EQ(intervalStatusText({0, 0}), "Modification interval for the browsed file: All lines are marked");
    EXPECT_EQ(intervalStatusText({0, 10}), "Modification interval for the browsed file: From top to line 10");
    EXPECT_EQ(intervalStatusText({4, 0}), "Modification interval for the browsed file: From line 4 to bottom");
    EXPECT_EQ(intervalStatusText({4, 9}), "Modification interval for the browsed file: From line 4 to line 9");
}

struct MarkerFixture : ::testing::Test {
    results::ResultList list;
    LinesViewerContent content;
    IntervalMarker marker{list};

    void SetUp() override {
        list.createResultColumn();
        for (const char* name : {"a", "b", "c"}) {
            results::ResultItem item;
            item.name = name;
            item.path = "/d";
            list.AddResultItem(item);
        }
        list.RefreshIntervalDisplay(2, true, true);
        list.browsedIndex = 1;
        content.start(1, "/d", "b");
        content.addLine(10, "ten", false);
        content.addLine(20, "twenty", false);
        marker.refreshBrowsed();
    }
};

TEST_F(MarkerFixture, MarkToAboveFromReadsTopAndTheEntriesFollow) {
    ASSERT_TRUE(marker.markFrom(content, 2));
    EXPECT_EQ(list.row(1).result, "Found       20 - Bottom");
    ASSERT_TRUE(marker.markTo(content, 1));
    EXPECT_EQ(list.row(1).interval, (I{0, 10}));
    EXPECT_EQ(list.row(1).result, "Found       Top - 10");
    EXPECT_EQ(marker.browsed, (I{0, 10}));
    EXPECT_TRUE(entryInsideInterval(content, 1, list.row(1).interval));
    EXPECT_FALSE(entryInsideInterval(content, 2, list.row(1).interval));
    EXPECT_FALSE(entryInsideInterval(content, 0, list.row(1).interval));
    // The header is not a line.
    EXPECT_FALSE(marker.markFrom(content, 0));
    EXPECT_EQ(list.row(1).interval, (I{0, 10}));
}

TEST_F(MarkerFixture, UnmarkAllForTheBrowsedFileReadsNil) {
    ASSERT_TRUE(marker.setWhole(MarkScope::Browsed, false, true, true));
    EXPECT_EQ(list.row(1).result, "Found       Nil");
    EXPECT_EQ(intervalStatusText(marker.browsed),
              "Modification interval for the browsed file: The marked lines are absent");
    EXPECT_FALSE(entryInsideInterval(content, 1, list.row(1).interval));
    EXPECT_EQ(list.row(0).result, "Found       All file");
}

TEST_F(MarkerFixture, ScopesReachTheirRows) {
    list.setSelected(0, true);
    list.setSelected(2, true);
    ASSERT_TRUE(marker.setWhole(MarkScope::Selected, false, true, true));
    EXPECT_EQ(list.row(0).interval, (I{-1, -1}));
    EXPECT_EQ(list.row(1).interval, (I{0, 0}));
    EXPECT_EQ(list.row(2).result, "Found       Nil");
    list.SetResultStatus(1, results::RowStatus::FailedModification);
    ASSERT_TRUE(marker.setWhole(MarkScope::Listed, true, true, true));
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(list.row(i).result, "Found       All file") << i;
}

TEST(LinesViewerIntervals, MenuRules) {
    IntervalMenuInputs in;
    in.searchReplaceTab = true;
    in.inEffect = in.intervalsInUse = in.listModifiable = true;
    in.listVisible = in.viewerVisible = true;
    in.viewerEntries = 3;
    in.rows = 2;
    in.selectedRows = 1;
    in.lineEntrySelected = true;
    IntervalMenuState s = intervalMenuState(in);
    EXPECT_TRUE(s.popupVisible && s.popupMarkFromTo && s.popupMarkAll && s.submenuEnabled);
    EXPECT_TRUE(s.fileMarkFromTo && s.fileForBrowsed && s.fileForSelected && s.fileForListed);

    IntervalMenuInputs header = in;
    header.lineEntrySelected = false;
    s = intervalMenuState(header);
    EXPECT_FALSE(s.popupMarkFromTo || s.fileMarkFromTo);
    EXPECT_TRUE(s.popupMarkAll);

    IntervalMenuInputs find = in;
    find.searchReplaceTab = false;
    s = intervalMenuState(find);
    EXPECT_FALSE(s.popupVisible || s.submenuEnabled);

    IntervalMenuInputs notInEffect = in;
    notInEffect.inEffect = notInEffect.listModifiable = false;
    s = intervalMenuState(notInEffect);
    EXPECT_FALSE(s.popupMarkFromTo || s.popupMarkAll || s.submenuEnabled);

    IntervalMenuInputs noSelection = in;
    noSelection.selectedRows = 0;
    noSelection.viewerEntries = 0;
    s = intervalMenuState(noSelection);
    EXPECT_FALSE(s.fileForSelected || s.fileForBrowsed || s.fileMarkFromTo);
    EXPECT_TRUE(s.fileForListed);
}

}  // namespace
}  // namespace vsr::engine
