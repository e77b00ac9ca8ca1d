#include <gtest/gtest.h>

#include "lines_viewer_fixture.h"
#include "results/status_texts.h"

namespace vsr::engine::test {
namespace {

TEST(LinesViewerFill, MissingFileIsReportedAndItsRowReadsNotFound) {
    FillFixture f;
    f.file("x\n");
    f.host.list.mutableRow(0).found = "3";
    f.host.list.mutableRow(0).size = "1.0 KB";
    f.fs.remove("/data/f.txt");
    f.phrase("x");
    EXPECT_EQ(f.fill(FillPurpose::Browse).end, FillEnd::NotFound);
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].caption, "Vantix Search & Replace");
    EXPECT_EQ(f.host.messages[0].text, "File /data/f.txt not found");
    EXPECT_EQ(f.host.messages[0].icon, MessageIcon::Warning);
    const results::ResultItem& row = f.host.list.row(0);
    EXPECT_EQ(row.result, "Not Found");
    EXPECT_EQ(row.found + row.size + row.time + row.attributes + row.type, "");

    // The next successful fill brings the row back.
    f.fs.addFile("/data/f.txt", "x x\n");
    EXPECT_EQ(f.fill(FillPurpose::Browse).end, FillEnd::Done);
    EXPECT_EQ(f.host.list.row(0).result, "Found");
    EXPECT_EQ(f.host.list.row(0).found, "2");
    EXPECT_EQ(f.host.list.row(0).size, "0.004 KB");
}

TEST(LinesViewerFill, RestoredRowShowsItsIntervalWhileIntervalsAreShown) {
    FillFixture f;
    f.file("x\n");
    f.host.list.intervalDisplay = true;
    f.host.list.setInterval(0, {3, 0});
    f.host.list.SetResultStatus(0, results::RowStatus::NotFound);
    f.phrase("x");
    f.fill();
    EXPECT_EQ(f.host.list.row(0).result, "Found       3 - Bottom");
}

TEST(LinesViewerFill, StopPressedBeforeTheFillDeselectsFromTheFirstSelectedRow) {
    FillFixture f;
    f.file("x\n", "a.txt");
    f.file("x\n", "b.txt");
    f.file("x\n", "c.txt");
    f.host.list.setSelected(0, false);
    f.host.list.setSelected(1, true);
    f.host.list.setSelected(2, true);
    f.host.state.stop = true;
    f.phrase("x");
    EXPECT_EQ(f.fill(FillPurpose::Browse, 1).end, FillEnd::StopPending);
    EXPECT_FALSE(f.host.state.stop);
    EXPECT_TRUE(f.host.list.selectedRows().empty());
    EXPECT_TRUE(f.content.empty());
    EXPECT_TRUE(f.events.started.empty());
}

TEST(LinesViewerFill, StopDuringTheFillKeepsTheEntriesMadeSoFar) {
    FillFixture f;
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "hit\n";
    f.file(text);
    f.host.list.mutableRow(0).found = "1000";
    f.phrase("hit");
    f.clock.setStepPerRead(10);
    int pumps = 0;
    f.host.onPump = [&] { f.host.state.stop = ++pumps == 3; };
    EXPECT_EQ(f.fill(FillPurpose::Browse).end, FillEnd::Stopped);
    EXPECT_FALSE(f.host.state.stop);
    EXPECT_GT(f.content.count(), 1u);
    EXPECT_LT(f.content.count(), 1001u);
    EXPECT_EQ(f.host.list.row(0).found, "1000");  // no refresh after a stop
    EXPECT_EQ(f.events.ended, std::vector<FillEnd>{FillEnd::Stopped});
}

TEST(LinesViewerFill, SelectingAnotherRowEndsABrowseFill) {
    FillFixture f;
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "hit\n";
    f.file(text, "a.txt");
    f.file("hit\n", "b.txt");
    f.host.list.selectOnly(0);
    f.host.list.currentIndex = 0;
    f.phrase("hit");
    f.clock.setStepPerRead(10);
    int pumps = 0;
    f.host.onPump = [&] {
        if (++pumps < 3) return;
        f.host.list.selectOnly(1);
        f.host.list.currentIndex = 1;
    };
    EXPECT_EQ(f.fill(FillPurpose::Browse, 0).end, FillEnd::Superseded);
    EXPECT_GT(f.content.count(), 1u);
    EXPECT_LT(f.content.count(), 1001u);
    // A silent fill is not tied to the selection.
    f.host.onPump = nullptr;
    EXPECT_EQ(f.fill(FillPurpose::Silent, 0).end, FillEnd::Done);
    EXPECT_EQ(f.content.count(), 1001u);
}

TEST(LinesViewerFill, BrowseOfARowThatIsNotSelectedStopsAfterTheHeader) {
    FillFixture f;
    f.file("hit\n", "a.txt");
    f.file("hit\n", "b.txt");
    f.phrase("hit");
    EXPECT_EQ(f.fill(FillPurpose::Browse, 0).end, FillEnd::Superseded);
    EXPECT_EQ(f.content.count(), 1u);
}

TEST(LinesViewerFill, WithoutFoundColumnOnlyTheHeaderAndTheFileInformationAreShown) {
    FillFixture f;
    f.file("hit\n");
    f.host.list.removeFoundColumn();
    f.phrase("hit");
    FillResult r = f.fill(FillPurpose::Browse);
    EXPECT_EQ(r.purpose, FillPurpose::InfoOnly);
    EXPECT_EQ(r.end, FillEnd::Done);
    EXPECT_EQ(f.content.count(), 1u);
    EXPECT_EQ(f.host.list.row(0).size, "0.004 KB");
    EXPECT_EQ(f.fs.readCount(), 0);
}

TEST(LinesViewerFill, EventsFollowThePurpose) {
    FillFixture f;
    f.file("hit\n");
    f.phrase("hit");
    f.fill(FillPurpose::Browse);
    f.fill(FillPurpose::Silent);
    EXPECT_EQ(f.events.started, (std::vector<FillPurpose>{FillPurpose::Browse, FillPurpose::Silent}));
    EXPECT_EQ(f.content.lastPurpose, FillPurpose::Silent);
    EXPECT_EQ(f.content.browsedRow, 0);
    EXPECT_EQ(f.content.browsedFullName, "/data/f.txt");
}

TEST(LinesViewerFill, AStaleRowIndexLeavesTheListAlone) {
    FillFixture f;
    f.file("hit\n");
    f.phrase("hit");
    FillResult r = FillLinesViewer(f.conditions, {f.fs, f.clock, f.formats, f.types}, f.host, f.content,
                                   {"/data", "f.txt", 7, FillPurpose::Silent});
    EXPECT_EQ(r.end, FillEnd::Done);
    EXPECT_EQ(r.found, "1");
    EXPECT_EQ(f.host.list.row(0).found, "");
}

}  // namespace
}  // namespace vsr::engine::test

namespace vsr::engine::test {
namespace {

TEST(LinesViewerFill, ClearingTheViewerDuringAFillEndsItAndEmptiesAfterwards) {
    FillFixture f;
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "hit\n";
    f.file(text);
    f.phrase("hit");
    f.clock.setStepPerRead(10);
    int pumps = 0;
    FillResult nested;
    f.host.onPump = [&] {
        if (++pumps != 3) return;
        // The window's own pumping may ask for another fill or for an empty viewer.
        nested = f.fill(FillPurpose::Silent);
        f.content.clear();
        EXPECT_GT(f.content.count(), 1u);
    };
    EXPECT_EQ(f.fill(FillPurpose::Silent).end, FillEnd::Superseded);
    EXPECT_EQ(nested.end, FillEnd::Superseded);
    EXPECT_TRUE(f.content.empty());
    EXPECT_EQ(f.content.browsedRow, -1);
    EXPECT_FALSE(f.content.filling());
}

}  // namespace
}  // namespace vsr::engine::test
