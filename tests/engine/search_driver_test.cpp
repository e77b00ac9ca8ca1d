#include <gtest/gtest.h>

#include "search_fixture.h"

namespace vsr::engine {
namespace {

using namespace std::chrono_literals;
using test::Rows;
using test::SearchFixture;

TEST(SearchDriver, BlankPathAndMasksAreRefusedBeforeTheListIsTouched) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "x");
    f.conditions.findText = "x";
    f.run();
    ASSERT_EQ(f.host.list.count(), 1u);

    f.conditions.path = "  ";
    f.run();
    EXPECT_EQ(f.messageTexts(), (std::vector<std::string>{"Find: Please specify the Path"}));
    EXPECT_EQ(f.host.list.count(), 1u);
    EXPECT_TRUE(f.host.state.stop);

    f.host.messages.clear();
    f.conditions.path = "/data";
    f.conditions.tab = Tab::SearchAndReplace;
    f.conditions.masks = " ";
    f.run();
    EXPECT_EQ(f.messageTexts(), (std::vector<std::string>{"Search: Please specify the Mask"}));
    EXPECT_EQ(f.host.list.count(), 1u);
}

TEST(SearchDriver, AMalformedExpressionIsRefusedBeforeTheListIsTouched) {
    for (Tab tab : {Tab::Find, Tab::SearchAndReplace}) {
        SCOPED_TRACE(tabCaption(tab));
        SearchFixture f;
        f.fs.addFile("/data/a.txt", "abc");
        f.conditions.tab = tab;
        f.conditions.findText = f.conditions.searchText = "abc";
        f.run();
        ASSERT_EQ(f.host.list.count(), 1u);
        f.conditions.queryType = QueryType::RegExpr;
        f.conditions.searchType = SearchType::RegExpr;
        f.conditions.findLines = f.conditions.searchLines = {"ab(c"};
        f.run();
        EXPECT_EQ(f.messageTexts(), (std::vector<std::string>{"Regular Expression: Error: ParseReg Unmatched () (pos 3)"}));
        EXPECT_EQ(f.host.selectedCharacter, 3);
        EXPECT_TRUE(f.host.state.stop);
        EXPECT_EQ(f.host.list.count(), 1u);
        // A sound expression searches as ever.
        f.conditions.findLines = f.conditions.searchLines = {"ab(c)"};
        f.run();
        EXPECT_EQ(f.host.list.count(), 1u);
        EXPECT_FALSE(f.host.state.stop);
    }
}

TEST(SearchDriver, NormalizesPathAndMasksAndKeepsHistories) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "x");
    f.conditions.path = " /data/ ";
    f.conditions.masks = "*.txt;*.htm";
    f.conditions.findText = "x";
    f.run();
    EXPECT_EQ(f.conditions.path, "/data");
    EXPECT_EQ(f.host.pathField, "/data");
    EXPECT_EQ(f.conditions.masks, "*.txt; *.htm");
    EXPECT_EQ(f.host.masksField, "*.txt; *.htm");

    f.conditions.findText = "y";
    f.run();
    f.conditions.findText = "x";
    f.run();
    EXPECT_EQ(f.host.history[static_cast<int>(HistoryField::FindText)], (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(f.host.history[static_cast<int>(HistoryField::Path)], (std::vector<std::string>{"/data"}));

    // The root folder keeps its "/".
    f.conditions.path = "/";
    f.run();
    EXPECT_EQ(f.conditions.path, "/");
    EXPECT_EQ(f.rows(), (Rows{"/data/a.txt:1"}));
}

TEST(SearchDriver, StatusTextsFollowTheTab) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "x");
    f.conditions.findText = "x";
    f.run();
    EXPECT_EQ(f.host.status[0], "Found File:    1");
    f.fs.addFile("/data/b.txt", "x");
    f.run();
    EXPECT_EQ(f.host.status[0], "Found Files:   2");
    f.conditions.tab = Tab::SearchAndReplace;
    f.conditions.searchText = "x";
    f.run();
    EXPECT_EQ(f.host.status[0], "Files in List:    2");
    EXPECT_FALSE(f.host.state.conditionsChanged);
    f.conditions.searchText = "zzz";
    f.run();
    EXPECT_EQ(f.host.status[0], "Not Found");
    EXPECT_EQ(f.host.status[1], "");
}

TEST(SearchDriver, FirstRowIsSelectedUnlessStopped) {
    SearchFixture f;
    for (int i = 0; i < 50; ++i) f.fs.addFile("/data/f" + std::to_string(i) + ".txt", "x");
    f.conditions.findText = "x";
    f.run();
    EXPECT_EQ(f.host.list.firstSelected(), 0);
    EXPECT_EQ(f.host.list.count(), 50u);

    // Stop pressed during the walk: rows so far stay, none is selected.
    f.clock.setStepPerRead(10);
    f.host.onPump = [&] {
        if (f.host.list.count() >= 5) f.driver.StopFindBitSClick();
    };
    f.run();
    EXPECT_GE(f.host.list.count(), 5u);
    EXPECT_LT(f.host.list.count(), 50u);
    EXPECT_EQ(f.host.list.firstSelected(), -1);
    EXPECT_TRUE(f.host.summary.stopped);
}

TEST(SearchDriver, PumpsOnlyAfter15Milliseconds) {
    SearchFixture f;
    for (int i = 0; i < 100; ++i) f.fs.addFile("/data/f" + std::to_string(i) + ".txt", "x");
    f.conditions.findText = "x";
    f.run();
    EXPECT_EQ(f.host.pumps, 1);  // only the closing pump: the clock stood still
    f.host.pumps = 0;
    f.clock.setStepPerRead(8);  // every second look at the clock finds 15 ms gone
    f.run();
    // At least one pass per two files taken; while the host waits for a file it looks again.
    EXPECT_GE(f.host.pumps, 30);
}

// Status texts wait for the host's next pass however the files are listed: a listing of every
// file once pushed them to the host with each file, which cost a window more than the walk.
TEST(SearchDriver, ListingEveryFileLeavesTheStatusTextsToThePasses) {
    struct CountingHost : RecordingHost {
        void setStatusText(int panel, const std::string& text) override {
            ++texts;
            RecordingHost::setStatusText(panel, text);
        }
        int texts = 0;
    };
    for (int threads : {1, 3}) {
        platform::FakeFileSystem fs;
        platform::FakeClock clock;  // stands still: no pass falls due during the walk
        platform::FakeLocaleFormats formats;
        platform::FakeTypeNames types;
        CountingHost host;
        SearchDriver driver({fs, clock, formats, types}, host);
        driver.setThreads(threads);
        fs.addDirectory("/data");
        for (int i = 0; i < 300; ++i) fs.addFile("/data/f" + std::to_string(i) + ".txt", "x");
        SearchConditions conditions = formConditions("/data");
        driver.FindButtonClick(conditions);
        EXPECT_EQ(host.list.count(), 300u) << threads;
        EXPECT_TRUE(host.list.foundColumnAbsent()) << threads;
        EXPECT_EQ(host.status[0], "Found Files:   300") << threads;
        EXPECT_LT(host.texts, 20) << threads;
    }
}

TEST(SearchDriver, BackupRuleAppliesToSearchAndReplaceWithBackupsOnly) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt.bak", "x");
    f.fs.addFile("/data/A.BAK", "x");
    f.fs.addFile("/data/d.bak/inner.txt", "x");
    f.conditions.createBackups = true;
    f.conditions.findText = "x";
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt.bak:1", "/data/A.BAK:1", "/data/d.bak/inner.txt:1"}));
    f.conditions.tab = Tab::SearchAndReplace;
    f.conditions.searchText = "x";
    EXPECT_EQ(f.run(), (Rows{"/data/A.BAK:1"}));
    f.conditions.createBackups = false;
    EXPECT_EQ(f.run().size(), 3u);
}

TEST(SearchDriver, SizeFilterUsesThousands) {
    SearchFixture f;
    f.fs.addFile("/data/1000.txt", std::string(1000, 'x'));
    f.fs.addFile("/data/1001.txt", std::string(1001, 'x'));
    f.conditions.findText = "";
    f.conditions.sizeFilter = true;
    f.conditions.sizeValue = 1;
    f.conditions.sizeLimitKind = SizeLimitKind::Maximum;
    EXPECT_EQ(f.run(), (Rows{"/data/1000.txt:"}));
    f.conditions.sizeLimitKind = SizeLimitKind::Minimum;
    EXPECT_EQ(f.run(), (Rows{"/data/1000.txt:", "/data/1001.txt:"}));
    f.conditions.sizeUnit = SizeUnit::MB;
    EXPECT_EQ(f.run(), Rows{});
}

TEST(SearchDriver, FilesAboveTwoGigabytesAreListedByNameButNotRead) {
    SearchFixture f;
    f.fs.addSizedFile("/data/huge.log", 3'000'000'000ULL);
    f.fs.addFile("/data/small.log", "needle");
    f.conditions.findText = "";
    EXPECT_EQ(f.run(), (Rows{"/data/huge.log:", "/data/small.log:"}));
    EXPECT_EQ(f.host.list.row(0).size, "3000000.0 KB");
    f.conditions.sizeFilter = true;
    f.conditions.sizeLimitKind = SizeLimitKind::Minimum;
    f.conditions.sizeValue = 2500;
    f.conditions.sizeUnit = SizeUnit::MB;
    EXPECT_EQ(f.run(), (Rows{"/data/huge.log:"}));
    f.conditions.sizeFilter = false;
    f.conditions.queryType = QueryType::SearchEngine;
    f.conditions.findText = "-needle";  // an unread file is not claimed to lack the word
    EXPECT_EQ(f.run(), Rows{});
}

TEST(SearchDriver, DateFilters) {
    SearchFixture f;
    auto now = std::chrono::system_clock::now();
    f.clock.setNow(now);
    f.fs.addFile("/data/h23.txt", "x", now - 23h);
    f.fs.addFile("/data/h25.txt", "x", now - 25h);
    f.fs.addFile("/data/today.txt", "x", now);
    f.conditions.findText = "x";
    f.conditions.dateFilter = true;
    f.conditions.dateLimitKind = DateLimitKind::NewerThan;
    f.conditions.daysAgo = 1;
    EXPECT_EQ(f.run(), (Rows{"/data/h23.txt:1", "/data/today.txt:1"}));

    f.conditions.dateLimitKind = DateLimitKind::Between;
    f.conditions.minDate = f.conditions.maxDate = platform::localDate(now);
    Rows rows = f.run();
    EXPECT_NE(std::find(rows.begin(), rows.end(), "/data/today.txt:1"), rows.end());
    EXPECT_EQ(std::find(rows.begin(), rows.end(), "/data/h25.txt:1"), rows.end());
}

TEST(SearchDriver, MaskListExaminesAFileOnce) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt.log", "x");
    f.fs.addFile("/data/notes", "x");
    f.conditions.findText = "x";
    f.conditions.masks = "*.log; *.txt.*";
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt.log:1"}));
    f.conditions.masks = "*.";
    EXPECT_EQ(f.run(), (Rows{"/data/notes:1"}));
}

TEST(SearchDriver, DirectoryIgnoreListWithAndWithoutSubfolders) {
    SearchFixture f;
    f.fs.addFile("/data/Temp/a.txt", "x");
    f.fs.addFile("/data/Temp/Sub/b.txt", "x");
    f.fs.addFile("/data/keep.txt", "x");
    f.conditions.findText = "x";
    f.conditions.ignoreDirectories = true;
    f.conditions.directoryIgnoreList = {"", "  /data/temp  "};
    EXPECT_EQ(f.run(), (Rows{"/data/Temp/Sub/b.txt:1", "/data/keep.txt:1"}));
    f.conditions.ignoreSubfoldersToo = true;
    EXPECT_EQ(f.run(), (Rows{"/data/keep.txt:1"}));
    f.conditions.ignoreDirectories = false;
    EXPECT_EQ(f.run().size(), 3u);
}

TEST(SearchDriver, FileIgnoreMasksAndSubfolderSwitch) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "x");
    f.fs.addFile("/data/Makefile", "x");
    f.fs.addFile("/data/sub/b.txt", "x");
    f.conditions.findText = "x";
    f.conditions.ignoreFiles = true;
    f.conditions.fileIgnoreList = {" makefile ", "", "*.tmp"};
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:1", "/data/sub/b.txt:1"}));
    EXPECT_EQ(f.host.state.fileIgnoreMasks, (std::vector<std::string>{"makefile", "*.tmp"}));
    f.conditions.includeSubfolders = false;
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:1"}));
    // An ignore mask without "." gets one like the name: "*" ignores only names without an
    // extension, and "a?" needs two characters.
    f.fs.addFile("/data/a", "x");
    f.conditions.fileIgnoreList = {"*"};
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:1"}));
    f.conditions.fileIgnoreList = {"a?"};
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:1", "/data/Makefile:1", "/data/a:1"}));
}

TEST(SearchDriver, SpecialEntriesAndUnreadableFoldersAreSkipped) {
    SearchFixture f;
    f.fs.addOther("/data/fifo");
    f.fs.addDirectory("/data/locked", false);
    f.fs.addFile("/data/a.txt", "x");
    f.conditions.findText = "";
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:"}));
    f.conditions.path = "/missing";
    EXPECT_EQ(f.run(), Rows{});
    EXPECT_EQ(f.host.status[0], "Not Found");
    EXPECT_TRUE(f.host.messages.empty());
}

TEST(SearchDriver, SearchInResultsKeepsSnapshotOrderAndSkipsVanishedFiles) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "x y");
    f.fs.addFile("/data/b.txt", "x");
    f.fs.addFile("/data/c.txt", "x y");
    f.conditions.findText = "x";
    ASSERT_EQ(f.run().size(), 3u);
    f.fs.remove("/data/c.txt");
    f.conditions.searchInResults = true;
    f.conditions.path = "";  // the path is not needed for a search in results
    f.conditions.findText = "y";
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:1"}));
    EXPECT_TRUE(f.host.messages.empty());
    EXPECT_TRUE(f.host.state.resultsSnapshot.empty());
}

TEST(SearchDriver, TooManyMasksEndsTheRunAfterClearingTheList) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "x");
    f.conditions.findText = "x";
    f.run();
    std::string masks;
    for (int i = 0; i < 100; ++i) masks += "*.e" + std::to_string(i) + ";";
    f.conditions.masks = masks + "*.txt";
    EXPECT_EQ(f.run(), Rows{});
    EXPECT_EQ(f.messageTexts(), (std::vector<std::string>{"Vantix Search & Replace: Too many masks"}));
    EXPECT_EQ(f.host.status[0], "Not Found");
}

TEST(SearchDriver, QueryErrorsStopTheRunWithAnEmptyList) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "x");
    f.conditions.queryType = QueryType::SearchEngine;
    f.conditions.findText = "\"open";
    EXPECT_EQ(f.run(), Rows{});
    EXPECT_EQ(f.messageTexts(), (std::vector<std::string>{"Find: Missing   \"  "}));
    EXPECT_EQ(f.fs.readCount(), 0);
}

TEST(SearchDriver, RegExprRunsThroughItsMatcher) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "x");
    f.conditions.queryType = QueryType::RegExpr;
    f.conditions.findLines = {"x+"};
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:1"}));
    EXPECT_TRUE(f.host.messages.empty());
}

TEST(SearchDriver, ResultColumnCreatedAndIntervalTextOnSearchAndReplace) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "x");
    EXPECT_FALSE(f.host.list.resultColumnCreated());
    f.conditions.tab = Tab::SearchAndReplace;
    f.conditions.searchText = "x";
    f.conditions.phraseIntervals = true;
    f.run();
    EXPECT_TRUE(f.host.list.resultColumnCreated());
    EXPECT_EQ(f.host.list.row(0).result, "Found       All file");
    EXPECT_EQ(f.host.list.resultCaption(), "Result    |  Modification Interval");
    f.conditions.phraseIntervals = false;
    f.run();
    EXPECT_EQ(f.host.list.row(0).result, "Found");
    EXPECT_EQ(f.host.list.tab, results::ListTab::SearchAndReplace);
}

TEST(SearchDriver, ReportRunsKeepCompleteCountsOfSeveralWords) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "x y y");
    f.conditions.queryType = QueryType::WordsOr;
    f.conditions.findText = "x y";
    f.driver.FindButtonClick(f.conditions, {true});
    EXPECT_EQ(f.host.list.reportCounts, (std::vector<std::string>{"1, 2"}));
    EXPECT_EQ(f.host.ends, 0);  // the report restores the window itself
    f.conditions.findText = "x";
    f.driver.FindButtonClick(f.conditions, {true});
    EXPECT_TRUE(f.host.list.reportCounts.empty());
    f.driver.FindButtonClick(f.conditions);
    EXPECT_EQ(f.host.ends, 1);
}

TEST(SearchDriver, RowTextsComeFromTheFileInformation) {
    SearchFixture f;
    f.types.byExtension["c"] = "C source code";
    f.fs.addFile("/data/.hidden.c", "x", {}, {true, false, false, false});
    f.fs.addFile("/data/plain.md", std::string(1500, 'x'));
    f.conditions.findText = "";
    f.run();
    const auto& a = f.host.list.row(0);
    EXPECT_EQ(a.attributes, "RH");
    EXPECT_EQ(a.type, "C source code");
    EXPECT_EQ(a.size, "0.001 KB");
    const auto& b = f.host.list.row(1);
    EXPECT_EQ(b.type, "MD File");
    EXPECT_EQ(b.size, "1.5 KB");
    EXPECT_EQ(b.time.size(), std::string("YYYY-MM-DD HH:MM:SS").size());
}

}  // namespace
}  // namespace vsr::engine
