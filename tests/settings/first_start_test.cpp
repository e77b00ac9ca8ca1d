#include "settings/first_start.h"

#include "settings_fixture.h"

namespace vsr::settings::test {
namespace {

TEST_F(SettingsTest, FirstStartGivesTheDocumentedDefaults) {
    StoredSettings s;
    storage().LoadSettings(s, true);

    EXPECT_EQ(s.history.comboBoxPath.text, "/home/tester");
    EXPECT_TRUE(s.history.comboBoxPath.items.empty());
    EXPECT_EQ(s.history.masksComboBox.text, "*.*");
    EXPECT_EQ(s.history.masksComboBox.items, (std::vector<std::string>{"*.html; *.htm", "*.txt"}));
    EXPECT_EQ(s.history.findEditComboBox, HistoryList{});
    EXPECT_EQ(s.history.edit2, HistoryList{});

    const MainOptions& o = s.options;
    EXPECT_TRUE(o.phraseButton);
    EXPECT_FALSE(o.wordsorButton || o.wordsandButton || o.complexButton || o.textButton || o.regExpFind);
    EXPECT_TRUE(o.phraseButtonReplace);
    EXPECT_TRUE(o.replaceButton);
    EXPECT_FALSE(o.noneButton || o.deleteButton);
    EXPECT_TRUE(o.creatBackupCheckBox);
    EXPECT_FALSE(o.previewCheckBox);  // the window behaves as before until the user turns it on
    EXPECT_FALSE(o.archivesCheckBox);
    EXPECT_TRUE(o.includeSubdirectoriesCheckBox);
    EXPECT_TRUE(o.trimLeftCheckBox);
    EXPECT_TRUE(o.trimRightCheckBox);
    EXPECT_FALSE(o.sensitiveCheckBox || o.wholeWordsCheckBox || o.allSizeCheckBox || o.allDateCheckBox);
    EXPECT_EQ(o.sizeSpinEdit, 100);
    EXPECT_EQ(o.kbComboBox, 0);
    EXPECT_TRUE(o.maximumRadioButton);
    EXPECT_TRUE(o.betweenRadioButton);
    // One year back, the same day of the month clamped: 31 March 2025 exists.
    EXPECT_EQ(dateFromDayNumber(o.minDateTimePicker), (platform::CivilDate{2025, 3, 31}));
    EXPECT_EQ(dateFromDayNumber(o.maxDateTimePicker), (platform::CivilDate{2026, 3, 31}));
    EXPECT_EQ(o.daysAgoSpinEdit, 2);
    EXPECT_EQ(o.nomTab, 1);
    EXPECT_FALSE(o.maxFind);
    EXPECT_EQ(o.findWidth, 646);
    EXPECT_EQ(o.findHeight, 455);
    EXPECT_EQ(o.findListViewHeight, 76);
    EXPECT_EQ(o.findLeft, (1600 - 646) / 2);
    EXPECT_EQ(o.findTop, (900 - 455 - 24) / 2);
    EXPECT_EQ((std::vector<int>{o.columnName, o.columnPath, o.columnFound, o.columnAttributes, o.columnTime,
                                o.columnSize, o.columnType, o.columnResult}),
              (std::vector<int>{96, 165, 42, 45, 83, 56, 60, 65}));
    EXPECT_TRUE(o.initialDir.empty() && o.initialDirwIgnPath.empty());

    const DialogSettings& d = s.dialog;
    EXPECT_EQ(d.editorA, "\"/usr/bin/gedit\" \"%PrFullName%\"");
    EXPECT_TRUE(d.unXPRadioButton);
    EXPECT_FALSE(d.winXPRadioButton || d.macXPRadioButton);
    EXPECT_EQ(d.browseComboBox, 3);
    EXPECT_FALSE(d.ignorePathsXPCh || d.ignoreFilesXPCh || d.gitignoreXPCh || d.indexFolderXPCh || d.readOnly || d.replaceHiddenCheckBox ||
                 d.ignoreSubFoldXPCh);

    // Loading agrees with the first-start record, so the window can use either.
    EXPECT_EQ(s, firstStartSettings(env()));
}

TEST_F(SettingsTest, FirstStartScalesPixelDefaultsByScreenDensity) {
    SettingsEnvironment e = env();
    e.pixelsPerInch = 144;
    const MainOptions o = firstStartSettings(e).options;
    EXPECT_EQ(o.findWidth, 969);
    EXPECT_EQ(o.findHeight, 682);  // 455 * 144 / 96 = 682.5, integer arithmetic
    EXPECT_EQ(o.columnName, 144);
    EXPECT_EQ(o.columnFound, 63);
    EXPECT_EQ(o.findLeft, (1600 - 969) / 2);
    EXPECT_EQ(o.findTop, (900 - 682 - 36) / 2);
}

TEST_F(SettingsTest, StoredWindowSizeIsCentredWhenNoPositionIsStored) {
    store.put(kOptionsKey, "FindWidth", "1000");
    store.put(kOptionsKey, "FindHeight", "600");
    StoredSettings s;
    storage().LoadSettings(s, false);
    EXPECT_EQ(s.options.findLeft, 300);
    EXPECT_EQ(s.options.findTop, (900 - 600 - 24) / 2);
}

TEST(DayNumbers, CountFromTheLastDaysOf1899) {
    struct Case {
        platform::CivilDate date;
        int day;
    };
    for (const Case& c : {Case{{1899, 12, 30}, 0}, Case{{1900, 1, 1}, 2}, Case{{1899, 12, 29}, -1},
                          Case{{2000, 1, 1}, 36526}, Case{{1, 1, 1}, kFirstDayNumber},
                          Case{{9999, 12, 31}, kLastDayNumber}}) {
        EXPECT_EQ(dayNumberFromDate(c.date), c.day);
        EXPECT_EQ(dateFromDayNumber(c.day), c.date);
    }
}

TEST(DayNumbers, AYearEarlierClampsToTheMonthsLength) {
    struct Case {
        platform::CivilDate today, yearBefore;
    };
    for (const Case& c : {Case{{2024, 2, 29}, {2023, 2, 28}}, Case{{2026, 1, 15}, {2025, 1, 15}},
                          Case{{2025, 12, 31}, {2024, 12, 31}}}) {
        EXPECT_EQ(dateFromDayNumber(monthsEarlier(dayNumberFromDate(c.today), 12)), c.yearBefore);
    }
}

}  // namespace
}  // namespace vsr::settings::test
