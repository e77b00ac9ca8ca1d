#include <gtest/gtest.h>

#include <sstream>

#include "platform/locale_formats.h"
#include "project/line_reader.h"
#include "project/project_file.h"
#include "settings/day_number.h"
#include "settings/sample_settings.h"

namespace vsr::project {
namespace {

using settings::dayNumberFromDate;

std::vector<std::string> lines(const std::string& bytes) {
    std::vector<std::string> out;
    LineReader in(bytes);
    while (auto l = in.next()) out.emplace_back(*l);
    return out;
}

std::string join(const std::vector<std::string>& ls) {
    std::string out;
    for (const std::string& l : ls) out += l + "\r\n";
    return out;
}

ProjectValues sample() {
    ProjectValues v;
    v.settings = settings::test::everyValueChanged();
    // A project's radio groups come from the window, where one button of each is on.
    v.batch.dialogWidth = 600;
    v.batch.dialogHeight = 300;
    v.batch.searchColumnWidth = 100;
    v.batch.replaceColumnWidth = 200;
    v.batch.rows = {{"alpha", "beta"}, {"a|b", ""}, {"", "orphan"}};
    v.batch.numberOfRows = 3;
    return v;
}

class ProjectFileTest : public ::testing::Test {
protected:
    platform::FakeLocaleFormats dates;
};

TEST_F(ProjectFileTest, EveryEntryRoundTrips) {
    const ProjectValues original = sample();
    const std::string bytes = projectFileBytes(original, dates);
    ProjectValues loaded;  // defaults everywhere: every entry must come from the file
    const ProjectRead r = readProjectFile(bytes, dates, loaded);
    EXPECT_TRUE(r.correct);
    EXPECT_TRUE(r.blockBWhole);
    EXPECT_TRUE(r.blockDWhole);
    EXPECT_TRUE(r.settingsLoaded);
    // The project does not hold the window's position, maximized state, the search threads
    // or the settings store's own choices: those keep what the reader had.
    ProjectValues expected = original;
    const settings::MainOptions fresh;
    expected.settings.options.findWidth = fresh.findWidth;
    expected.settings.options.findHeight = fresh.findHeight;
    expected.settings.options.findListViewHeight = fresh.findListViewHeight;
    expected.settings.options.findLeft = fresh.findLeft;
    expected.settings.options.findTop = fresh.findTop;
    expected.settings.options.maxFind = fresh.maxFind;
    // The search threads suit the machine, not the project.
    expected.settings.dialog.searchThreads = settings::DialogSettings{}.searchThreads;
    // Nor the text encoding: the project is read in the reader's, and keeps its 87 entries.
    expected.settings.dialog.textEncoding = settings::DialogSettings{}.textEncoding;
    // Nor the Preview box: a way of looking, not a condition; the positional format stays as it is.
    expected.settings.options.previewCheckBox = fresh.previewCheckBox;
    // Nor whether the ignore files of version control apply: the tree keeps those itself.
    expected.settings.dialog.gitignoreXPCh = settings::DialogSettings{}.gitignoreXPCh;
    // Nor whether the folder is indexed: a cache of this machine's.
    expected.settings.dialog.indexFolderXPCh = settings::DialogSettings{}.indexFolderXPCh;
    EXPECT_EQ(loaded, expected);
}

TEST_F(ProjectFileTest, WritesTheEntriesInTheirOrderByteForByte) {
    ProjectValues v;
    v.settings.history.comboBoxPath = {"/srv", {"/srv", "/tmp"}};
    v.settings.history.masksComboBox = {"*.*", {}};
    v.settings.memos.searchMemo = "a\nb\n";
    v.settings.options.minDateTimePicker = dayNumberFromDate({2025, 3, 31});
    v.settings.options.maxDateTimePicker = dayNumberFromDate({2026, 3, 31});
    v.settings.dialog.editorA = "gedit \"%PrFullName%\"";
    v.settings.dialog.directIgnoreList = "/proc";
    v.batch.rows = {{"x", "y"}};
    const std::vector<std::string> expected = {
        "/srv", "2", "/srv", "/tmp",  // 1 path
        "", "0",                      // 2 find query
        "", "0",                      // 3 search text
        "", "0",                      // 4 replacement
        "*.*", "0",                   // 5 masks
        "1", "",                      // 6 find memo: empty gives one empty line
        "3", "a", "b", "",            // 7 search memo ending in a line break
        "1", "",                      // 8 replacement memo
        "FALSE", "FALSE",             // 9-10 case, whole words
        "TRUE", "FALSE", "FALSE", "FALSE", "FALSE",          // 11-15 query type Phrase
        "TRUE", "FALSE",                                     // 16-17 search type Phrase
        "FALSE", "TRUE", "FALSE", "FALSE", "FALSE", "FALSE",  // 18-23 Replace
        "TRUE", "FALSE",                                     // 24-25 backups and their opposite
        "TRUE", "TRUE", "TRUE",                              // 26-28 trims, subfolders
        "FALSE", "FALSE", "FALSE", "TRUE", "TRUE", "FALSE",  // 29-34 filters
        "100", "0", "2025-03-31", "2026-03-31", "2",          // 35-39
        "FALSE", "FALSE", "FALSE", "FALSE",                  // 40-43 labels
        "96", "165", "42", "45", "83", "56", "60", "65",     // 44-51 columns
        "", "", "", "", "",                                  // 52-56 dialog folders
        "gedit \"%PrFullName%\"", "1",                       // 57-58
        std::to_string(v.settings.options.minDateTimePicker), std::to_string(v.settings.options.maxDateTimePicker),
        "FALSE", "FALSE", "FALSE", "FALSE",                  // 61-64
        "gedit \"%PrFullName%\"",                            // 65
        "FALSE", "TRUE", "FALSE",                            // 66-68 Unix
        "", "FALSE", "3", "FALSE", "FALSE",                  // 69-73
        "FALSE", "FALSE", "FALSE", "FALSE", "FALSE",         // 74-78
        "1", "/proc",                                        // 79 directory ignore list
        "1", "",                                             // 80 file ignore list
        "",                                                  // 81
        "0", "0", "1", "244", "244",                         // 82-86
        "1", "x", "y",                                       // 87
    };
    EXPECT_EQ(projectFileBytes(v, dates), join(expected));
}

TEST_F(ProjectFileTest, HistoryListsKeepEightItemsWrittenButReadEveryItemGiven) {
    ProjectValues v;
    for (int i = 0; i < 12; ++i) v.settings.history.edit2.items.push_back("r" + std::to_string(i));
    const std::vector<std::string> written = lines(projectFileBytes(v, dates));
    EXPECT_EQ(written[6], "");   // entry 4's text
    EXPECT_EQ(written[7], "8");  // its count
    EXPECT_EQ(written[15], "r7");

    // A hand-made file with twelve items loads all twelve.
    std::vector<std::string> hand = written;
    hand[7] = "12";
    hand.insert(hand.begin() + 16, {"r8", "r9", "r10", "r11"});
    ProjectValues loaded;
    ASSERT_TRUE(readProjectFile(join(hand), dates, loaded).correct);
    EXPECT_EQ(loaded.settings.history.edit2.items, v.settings.history.edit2.items);
}

TEST_F(ProjectFileTest, MultiLineFieldsComeBackExactly) {
    for (const char* text : {"", "one", "one\n", "a\n\nb", "\n", "x\n\n"}) {
        ProjectValues v;
        v.settings.memos.memo2 = text;
        v.settings.dialog.fileIgnoreList = text;
        ProjectValues loaded;
        ASSERT_TRUE(readProjectFile(projectFileBytes(v, dates), dates, loaded).correct);
        EXPECT_EQ(loaded.settings.memos.memo2, text);
        EXPECT_EQ(loaded.settings.dialog.fileIgnoreList, text);
    }
}

TEST_F(ProjectFileTest, FlagsAreTrueOnlyForUpperCaseTrueAndRadioGroupsFollowTheirButtons) {
    std::vector<std::string> f = lines(projectFileBytes(sample(), dates));
    // Entries 9 (case) and 18-23 (modification types) start at line 25 and 34 of this file.
    const auto at = [&](int entry) -> std::string& {
        // Lines before entry 9: the five history lists and the three line lists.
        std::size_t line = 0;
        ProjectValues s = sample();
        for (const auto* h : {&s.settings.history.comboBoxPath, &s.settings.history.findEditComboBox,
                              &s.settings.history.searchEdit, &s.settings.history.edit2,
                              &s.settings.history.masksComboBox})
            line += 2 + h->items.size();
        for (const std::string* m : {&s.settings.memos.findMemo, &s.settings.memos.searchMemo, &s.settings.memos.memo2})
            line += 1 + lines(*m + "\n").size();
        return f[line + static_cast<std::size_t>(entry - 9)];
    };
    at(9) = "true";
    for (int e = 18; e <= 23; ++e) at(e) = "FALSE";
    ProjectValues loaded;
    loaded.settings.options.sensitiveCheckBox = true;
    ASSERT_TRUE(readProjectFile(join(f), dates, loaded).correct);
    const settings::MainOptions& o = loaded.settings.options;
    EXPECT_FALSE(o.sensitiveCheckBox);
    EXPECT_FALSE(o.noneButton || o.replaceButton || o.replaceSpacesButton || o.insertButton || o.insertAfterButton ||
                 o.deleteButton);

    // Two true flags of one group: the later one wins.
    at(18) = "TRUE";
    at(21) = "TRUE";
    ASSERT_TRUE(readProjectFile(join(f), dates, loaded).correct);
    EXPECT_FALSE(loaded.settings.options.noneButton);
    EXPECT_TRUE(loaded.settings.options.insertButton);
}

TEST_F(ProjectFileTest, AFileEndingAfterEntry58LoadsWithTheDefaultsOfTheMissingEntries) {
    ProjectValues v = sample();
    v.settings.options.regExpFind = true;
    v.settings.options.phraseButton = false;
    const std::vector<std::string> all = lines(projectFileBytes(v, dates));
    // Entry 59 is the first of the two day numbers; find it by its value.
    const std::string minDay = std::to_string(v.settings.options.minDateTimePicker);
    std::size_t entry59 = 0;
    while (all[entry59] != minDay || all[entry59 + 1] != std::to_string(v.settings.options.maxDateTimePicker))
        ++entry59;
    const std::vector<std::string> cut(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(entry59));

    ProjectValues loaded;
    loaded.batch.rows = {{"keep", "me"}};
    loaded.settings.dialog.browseComboBox = 9;
    loaded.settings.dialog.directIgnoreList = "/old";
    const ProjectRead r = readProjectFile(join(cut), dates, loaded);
    EXPECT_TRUE(r.correct);
    EXPECT_TRUE(r.blockBWhole);
    EXPECT_FALSE(r.blockDWhole);
    EXPECT_TRUE(r.settingsLoaded);
    const settings::MainOptions& o = loaded.settings.options;
    EXPECT_FALSE(o.regExpFind);
    EXPECT_FALSE(o.regExpSearch);
    // The dates of entries 37-38 stay, as day 0 means no value.
    EXPECT_EQ(o.minDateTimePicker, v.settings.options.minDateTimePicker);
    const settings::DialogSettings& d = loaded.settings.dialog;
    EXPECT_TRUE(d.winXPRadioButton);
    EXPECT_FALSE(d.unXPRadioButton || d.macXPRadioButton);
    EXPECT_EQ(d.browseComboBox, 3);
    EXPECT_EQ(d.directIgnoreList, "");
    EXPECT_EQ(d.fileIgnoreList, "");
    EXPECT_EQ(d.editorA, v.settings.dialog.editorA + " \"%PrFullName%\"");
    EXPECT_EQ(loaded.batch.rows, (std::vector<BatchPair>{{"keep", "me"}}));
}

TEST_F(ProjectFileTest, TheEditorCommandFallsBackOnTheFirstCopy) {
    ProjectValues v;
    v.settings.dialog.editorA = "ed";
    std::vector<std::string> f = lines(projectFileBytes(v, dates));
    // Entry 65 comes right after the four flags of entries 61-64.
    std::size_t e65 = 0;
    for (std::size_t i = 0; i + 1 < f.size(); ++i)
        if (f[i] == "ed") e65 = i;  // the last "ed" line is entry 65
    f[e65] = "";
    ProjectValues loaded;
    ASSERT_TRUE(readProjectFile(join(f), dates, loaded).correct);
    EXPECT_EQ(loaded.settings.dialog.editorA, "ed \"%PrFullName%\"");
}

TEST_F(ProjectFileTest, BlockAFailuresMakeTheFileIncorrect) {
    const std::vector<std::string> good = lines(projectFileBytes(sample(), dates));
    const std::string sizeValue = std::to_string(sample().settings.options.sizeSpinEdit);
    for (std::size_t i = 0; i < good.size(); ++i) {
        if (good[i] != "2001-02-03") continue;  // entry 37, the lower date
        std::vector<std::string> bad = good;
        bad[i] = "03.02.2001";  // another short date format
        ProjectValues loaded;
        EXPECT_FALSE(readProjectFile(join(bad), dates, loaded).correct);
        bad = good;
        bad[i - 2] = "7 KB";  // entry 35
        EXPECT_FALSE(readProjectFile(join(bad), dates, loaded).correct);
    }
    ProjectValues loaded;
    EXPECT_FALSE(readProjectFile("", dates, loaded).correct);
    EXPECT_FALSE(readProjectFile("/path\r\nmany\r\n", dates, loaded).correct);
    // A count larger than the file is no count: nothing is allocated for it.
    EXPECT_FALSE(readProjectFile("/path\r\n2000000000\r\n", dates, loaded).correct);
    EXPECT_FALSE(readProjectFile("/path\r\n-1\r\n", dates, loaded).correct);
}

TEST_F(ProjectFileTest, WhenDatesParseTheDayNumbersStillRestoreTheExactDays) {
    ProjectValues v = sample();
    std::vector<std::string> f = lines(projectFileBytes(v, dates));
    for (std::string& line : f)
        if (line == "2001-02-03") line = "2001-02-04";  // a format that loses the day's detail
    ProjectValues loaded;
    ASSERT_TRUE(readProjectFile(join(f), dates, loaded).correct);
    EXPECT_EQ(loaded.settings.options.minDateTimePicker, v.settings.options.minDateTimePicker);

    // A day number no date picker can show ends block B, so a later save still writes a date.
    const std::string minDay = std::to_string(v.settings.options.minDateTimePicker);
    for (std::string& line : f)
        if (line == minDay) line = "2000000000";
    ProjectValues far;
    const ProjectRead r = readProjectFile(join(f), dates, far);
    EXPECT_TRUE(r.correct);
    EXPECT_FALSE(r.blockBWhole);
    EXPECT_EQ(far.settings.options.minDateTimePicker, settings::dayNumberFromDate({2001, 2, 4}));
}

TEST_F(ProjectFileTest, TheFirstAndLastDaysAPickerHoldsWriteAndReadBack) {
    ProjectValues v = sample();
    v.settings.options.minDateTimePicker = settings::kFirstDayNumber;
    v.settings.options.maxDateTimePicker = settings::kLastDayNumber;
    const std::string bytes = projectFileBytes(v, dates);
    EXPECT_NE(bytes.find("0001-01-01"), std::string::npos);
    EXPECT_NE(bytes.find("9999-12-31"), std::string::npos);
    ProjectValues loaded;
    const ProjectRead r = readProjectFile(bytes, dates, loaded);
    ASSERT_TRUE(r.correct);
    EXPECT_TRUE(r.blockBWhole);
    EXPECT_EQ(loaded.settings.options.minDateTimePicker, settings::kFirstDayNumber);
    EXPECT_EQ(loaded.settings.options.maxDateTimePicker, settings::kLastDayNumber);
}

TEST_F(ProjectFileTest, FailingBlocksBAndDEndSilentlyAndKeepWhatTheyDidNotReach) {
    ProjectValues v = sample();
    v.settings.dialog.editorA = "the editor";
    std::vector<std::string> f = lines(projectFileBytes(v, dates));
    const std::string minDay = std::to_string(v.settings.options.minDateTimePicker);
    std::size_t e59 = 0;
    while (f[e59] != minDay) ++e59;
    f[e59] = "soon";  // block B fails at its first entry
    // Entries 59-81: six of block B, the editor, 66-78 one line each, the two ignore lists
    // (3 and 2 lines with their counts) and entry 81.
    const std::size_t e82 = e59 + 6 + 1 + 13 + 4 + 3 + 1;
    ASSERT_EQ(f[e82], "600");
    f[e82 + 1] = "tall";  // block D fails at entry 83

    ProjectValues loaded;
    loaded.settings.options.regExpFind = true;
    loaded.settings.options.phraseButton = false;
    loaded.batch.dialogHeight = 77;
    loaded.batch.rows = {{"old", "row"}};
    const ProjectRead r = readProjectFile(join(f), dates, loaded);
    EXPECT_TRUE(r.correct);
    EXPECT_FALSE(r.blockBWhole);
    EXPECT_FALSE(r.blockDWhole);
    // Block B's flags keep their values: all of entries 11-15 are false, so Reg Expr stays on.
    EXPECT_TRUE(loaded.settings.options.regExpFind);
    // The editor command is still read from its own line.
    EXPECT_EQ(loaded.settings.dialog.editorA, "the editor");
    // Block D: entries up to 82 are read, the rest keep their values.
    EXPECT_EQ(loaded.settings.dialog.directIgnoreList, v.settings.dialog.directIgnoreList);
    EXPECT_EQ(loaded.batch.dialogWidth, 600);
    EXPECT_EQ(loaded.batch.dialogHeight, 77);
    EXPECT_EQ(loaded.batch.rows, (std::vector<BatchPair>{{"old", "row"}}));
}

TEST_F(ProjectFileTest, BatchPairsAreTheCountThenTheSearchCellsThenTheReplacementCells) {
    const std::vector<std::string> f = lines(projectFileBytes(sample(), dates));
    const std::vector<std::string> tail(f.end() - 7, f.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"3", "alpha", "a|b", "", "beta", "", "orphan"}));
    // An empty entry 71 reads as choice 3.
    ProjectValues v = sample();
    v.settings.dialog.browseComboBox = 8;
    std::vector<std::string> g = lines(projectFileBytes(v, dates));
    // Back from the end: entry 87 (7 lines), 82-86, 81, the two ignore lists, 72-78.
    const std::size_t e71 = g.size() - 7 - 5 - 1 - 3 - 4 - 7 - 1;
    ASSERT_EQ(g[e71], "8");
    g[e71] = "";
    ProjectValues loaded;
    ASSERT_TRUE(readProjectFile(join(g), dates, loaded).blockDWhole);
    EXPECT_EQ(loaded.settings.dialog.browseComboBox, 3);
}

TEST_F(ProjectFileTest, RowsBeyondTheListedPairsComeEmptyNotFromTheTableBefore) {
    // Entry 84 asks for five rows, entry 87 lists two.
    ProjectValues v = sample();
    v.batch.rows = {{"s1", "r1"}, {"s2", "r2"}};
    v.batch.numberOfRows = 5;
    ProjectValues loaded;
    loaded.batch.rows = {{"o1", "p1"}, {"o2", "p2"}, {"o3", "p3"}, {"o4", "p4"}, {"o5", "p5"}, {"o6", "p6"}};
    ASSERT_TRUE(readProjectFile(projectFileBytes(v, dates), dates, loaded).blockDWhole);
    EXPECT_EQ(loaded.batch.numberOfRows, 5);
    EXPECT_EQ(loaded.batch.rows, (std::vector<BatchPair>{{"s1", "r1"}, {"s2", "r2"}, {}, {}, {}}));
}

TEST_F(ProjectFileTest, OneLineValuesNeverSpillIntoTheNextEntry) {
    ProjectValues v;
    v.settings.history.searchEdit = {"two\r\nlines", {"a\nb"}};
    v.batch.rows = {{"cell\r\npasted", "x"}};
    ProjectValues loaded;
    const ProjectRead r = readProjectFile(projectFileBytes(v, dates), dates, loaded);
    EXPECT_TRUE(r.blockDWhole);
    EXPECT_EQ(loaded.settings.history.searchEdit.text, "two");
    EXPECT_EQ(loaded.settings.history.searchEdit.items, std::vector<std::string>{"a"});
    EXPECT_EQ(loaded.batch.rows[0].search, "cell");
}

TEST_F(ProjectFileTest, HugeAndBinaryFilesAreIncorrectWithoutTakingLong) {
    ProjectValues loaded;
    const std::string oneLine(100'000'000, 'x');
    EXPECT_FALSE(readProjectFile(oneLine, dates, loaded).correct);
    std::string lines(100'000'000, '\n');
    lines.replace(0, 6, "/p\r\n8\r\n");  // a history list whose items are all empty lines
    EXPECT_FALSE(readProjectFile(lines, dates, loaded).correct);
    std::string binary(1 << 16, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>((i * 7919) >> 3);
    EXPECT_FALSE(readProjectFile(binary, dates, loaded).correct);
}

TEST_F(ProjectFileTest, EveryTruncationAndEveryFlippedByteReadsWithoutHarm) {
    const std::string bytes = projectFileBytes(sample(), dates);
    for (std::size_t n = 0; n <= bytes.size(); ++n) {
        ProjectValues loaded;
        readProjectFile(std::string_view(bytes).substr(0, n), dates, loaded);
        ASSERT_GE(loaded.batch.rows.size(), 1u);
    }
    std::string damaged = bytes;
    for (std::size_t i = 0; i < damaged.size(); i += 3) {
        const char saved = damaged[i];
        damaged[i] = static_cast<char>(saved ^ 0x5a);
        ProjectValues loaded;
        readProjectFile(damaged, dates, loaded);
        damaged[i] = saved;
    }
}

}  // namespace
}  // namespace vsr::project
