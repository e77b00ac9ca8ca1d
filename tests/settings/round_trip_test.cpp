#include "settings/sample_settings.h"
#include "settings_fixture.h"

namespace vsr::settings::test {
namespace {

TEST_F(SettingsTest, FullSaveAndLoadRestoresEveryValue) {
    const StoredSettings saved = everyValueChanged();
    ASSERT_TRUE(storage().SaveSettings(saved, true).ok());

    StoredSettings loaded;
    storage().LoadSettings(loaded, true);
    EXPECT_EQ(loaded.history, saved.history);
    EXPECT_EQ(loaded.memos, saved.memos);
    EXPECT_EQ(loaded.options, saved.options);
    EXPECT_EQ(loaded.dialog, saved.dialog);
}

TEST_F(SettingsTest, PartialSaveLeavesTheDialogValuesAlone) {
    StoredSettings first = firstStartSettings(env());
    first.dialog.readOnly = true;
    first.dialog.fileIgnoreList = "*.bin";
    ASSERT_TRUE(storage().SaveSettings(first, true).ok());

    StoredSettings changed = everyValueChanged();
    ASSERT_TRUE(storage().SaveSettings(changed, false).ok());
    EXPECT_EQ(option("ReadOnly"), "1");
    EXPECT_EQ(vsr::test::readFile(dataDir.path() / kFileIgnoreListFile), "*.bin\r\n");

    // Loading without full keeps whatever the dialog record held.
    StoredSettings loaded;
    loaded.dialog.browseComboBox = 7;
    storage().LoadSettings(loaded, false);
    EXPECT_EQ(loaded.options, changed.options);
    EXPECT_EQ(loaded.dialog.browseComboBox, 7);
    EXPECT_EQ(loaded.dialog.fileIgnoreList, "");
}

TEST_F(SettingsTest, ValuesAreStoredUnderTheirNamesAsText) {
    StoredSettings s = everyValueChanged();
    ASSERT_TRUE(storage().SaveSettings(s, true).ok());
    EXPECT_EQ(option("SensitiveCheckBox"), "1");
    EXPECT_EQ(option("PhraseButton"), "0");
    EXPECT_EQ(option("CreatBackupCheckBox"), "0");
    EXPECT_EQ(option("SearchRadioButton"), "1");  // the opposite of the backups switch
    EXPECT_EQ(option("SizeSpinEdit"), "7");
    EXPECT_EQ(option("FindLeft"), "-5");
    EXPECT_EQ(option("MinDateTimePicker"), "2001-02-03");
    EXPECT_EQ(option("MinDateTimePickerNum"), std::to_string(dayNumberFromDate({2001, 2, 3}) * 7));
    EXPECT_EQ(option("MaxDateTimePicker"), "2030-12-31");
    EXPECT_EQ(option("MaxDateTimePickerNum"), std::to_string(dayNumberFromDate({2030, 12, 31}) * 9));
    EXPECT_EQ(option("Editor"), s.dialog.editorA);
    EXPECT_EQ(option("EditorA"), s.dialog.editorA);
    EXPECT_EQ(option("BrowseComboBox"), "10");
    EXPECT_EQ(option("SearchThreads"), "3");
    EXPECT_EQ(option("TextEncoding"), "1251");
    EXPECT_EQ(programValue("ComboBoxPathText"), "/srv/data");
    EXPECT_EQ(programValue("ComboBoxPathCountV"), "3");
    EXPECT_EQ(programValue("ComboBoxPath2"), "/home/a b");
    EXPECT_EQ(option("ColumnResult"), "8");
}

TEST_F(SettingsTest, HistoryListsKeepTheirFirstEightItems) {
    StoredSettings s = firstStartSettings(env());
    for (int i = 0; i < 12; ++i) s.history.edit2.items.push_back("item " + std::to_string(i));
    ASSERT_TRUE(storage().SaveSettings(s, false).ok());

    EXPECT_EQ(programValue("Edit2CountV"), "8");
    EXPECT_EQ(programValue("Edit20"), "item 0");
    EXPECT_EQ(programValue("Edit27"), "item 7");
    EXPECT_EQ(programValue("Edit28"), "<missing>");

    StoredSettings loaded;
    storage().LoadSettings(loaded, false);
    ASSERT_EQ(loaded.history.edit2.items.size(), 8u);
    EXPECT_EQ(loaded.history.edit2.items.back(), "item 7");
}

TEST_F(SettingsTest, HistoryListsToleratePartialValues) {
    store.put(kProgramKey, "SearchEditCountV", "3");
    store.put(kProgramKey, "SearchEdit0", "zero");
    store.put(kProgramKey, "SearchEdit2", "two");
    store.put(kProgramKey, "FindEditComboBoxCountV", "5000");  // edited by hand
    store.put(kProgramKey, "MasksComboBoxCountV", "0");
    store.put(kProgramKey, "MasksComboBoxText", "*.c");
    StoredSettings loaded;
    loaded.history.searchEdit.items = {"left over"};
    storage().LoadSettings(loaded, false);
    EXPECT_EQ(loaded.history.searchEdit.items, (std::vector<std::string>{"zero", "", "two"}));
    EXPECT_EQ(loaded.history.findEditComboBox.items.size(), 8u);
    // Without stored masks the two common choices are offered again.
    EXPECT_EQ(loaded.history.masksComboBox.text, "*.c");
    EXPECT_EQ(loaded.history.masksComboBox.items, (std::vector<std::string>{"*.html; *.htm", "*.txt"}));
}

TEST_F(SettingsTest, DiskFullLeavesThePreviousSaveWhole) {
    StoredSettings first = firstStartSettings(env());
    first.options.sizeSpinEdit = 55;
    ASSERT_TRUE(storage().SaveSettings(first, true).ok());
    const auto before = store.committed();

    store.setDiskFull(true);
    const SaveReport report = storage().SaveSettings(everyValueChanged(), true);
    EXPECT_FALSE(report.storeWritten);
    EXPECT_FALSE(report.ok());
    EXPECT_EQ(store.committed(), before);

    store.setDiskFull(false);
    StoredSettings loaded;
    storage().LoadSettings(loaded, true);
    EXPECT_EQ(loaded.options.sizeSpinEdit, 55);
}

}  // namespace
}  // namespace vsr::settings::test
