#include "settings/value_text.h"

#include "settings_fixture.h"

namespace vsr::settings::test {
namespace {

TEST(WholeNumbers, OnlyDecimalTextThatFitsIsANumber) {
    struct Case {
        const char* text;
        std::optional<int> number;
    };
    const Case cases[] = {
        {"0", 0},           {"42", 42},
        {"-17", -17},       {"+5", 5},
        {" 7 ", 7},         {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},  // beyond 32 bits
        {"", std::nullopt}, {"  ", std::nullopt},
        {"abc", std::nullopt}, {"12x", std::nullopt},
        {"1.5", std::nullopt}, {"0x10", std::nullopt},
        {"+-3", std::nullopt}, {"--3", std::nullopt},
        {"1 2", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(parseWholeNumber(c.text), c.number) << '"' << c.text << '"';
}

TEST_F(SettingsTest, GarbledValuesFallBackToTheirDefaults) {
    store.put(kOptionsKey, "SizeSpinEdit", "lots");
    store.put(kOptionsKey, "DaysAgoSpinEdit", "99999999999");
    store.put(kOptionsKey, "CreatBackupCheckBox", "yes");  // not a number: default on
    store.put(kOptionsKey, "SensitiveCheckBox", "-3");    // any non-zero number is true
    store.put(kOptionsKey, "IncludeSubdirectoriesCheckBox", "0");
    store.put(kOptionsKey, "FindWidth", "");
    store.put(kOptionsKey, "KBComboBox", "5");  // no such unit
    store.put(kOptionsKey, "BrowseComboBox", "11");
    store.put(kOptionsKey, "SearchThreads", "65");  // more than a search ever uses: Automatic
    store.put(kOptionsKey, "NomTab", "9");  // kept: any other number shows Options
    StoredSettings s;
    storage().LoadSettings(s, true);
    EXPECT_EQ(s.options.sizeSpinEdit, 100);
    EXPECT_EQ(s.options.daysAgoSpinEdit, 2);
    EXPECT_TRUE(s.options.creatBackupCheckBox);
    EXPECT_TRUE(s.options.sensitiveCheckBox);
    EXPECT_FALSE(s.options.includeSubdirectoriesCheckBox);
    EXPECT_EQ(s.options.findWidth, 646);
    EXPECT_EQ(s.options.kbComboBox, 0);
    EXPECT_EQ(s.dialog.browseComboBox, 3);
    EXPECT_EQ(s.dialog.searchThreads, 0);
    EXPECT_EQ(s.options.nomTab, 9);
}

TEST_F(SettingsTest, TextEncodingIsKeptByNameAndDefaultsToTheLocales) {
    SettingsEnvironment latin = env();
    latin.textEncoding = platform::CodePageId::Iso8859_15;
    StoredSettings s;
    SettingsStorage(store, dataDir.str(), latin).LoadSettings(s, true);
    EXPECT_EQ(s.dialog.textEncoding, platform::CodePageId::Iso8859_15);  // nothing stored yet

    for (platform::CodePageId id : {platform::CodePageId::Utf8, platform::CodePageId::Windows1250}) {
        s.dialog.textEncoding = id;
        SettingsStorage(store, dataDir.str(), latin).SaveSettings(s, true);
        StoredSettings back;
        SettingsStorage(store, dataDir.str(), latin).LoadSettings(back, true);
        EXPECT_EQ(back.dialog.textEncoding, id);
    }
    store.put(kOptionsKey, "TextEncoding", "KOI8-R");  // no such choice: the locale's again
    SettingsStorage(store, dataDir.str(), latin).LoadSettings(s, true);
    EXPECT_EQ(s.dialog.textEncoding, platform::CodePageId::Iso8859_15);
}

TEST_F(SettingsTest, TheFallbackPageIsKeptAndDefaultsToTheLocalesLanguage) {
    SettingsEnvironment cyrillic = env();
    cyrillic.fallbackEncoding = platform::CodePageId::Windows1251;
    StoredSettings s;
    SettingsStorage(store, dataDir.str(), cyrillic).LoadSettings(s, true);
    EXPECT_EQ(s.dialog.fallbackEncoding, platform::CodePageId::Windows1251);  // nothing stored yet
    for (std::optional<platform::CodePageId> page : {std::optional<platform::CodePageId>(),
                                                     std::optional(platform::CodePageId::Iso8859_15)}) {
        s.dialog.fallbackEncoding = page;
        SettingsStorage(store, dataDir.str(), cyrillic).SaveSettings(s, true);
        StoredSettings back;
        SettingsStorage(store, dataDir.str(), cyrillic).LoadSettings(back, true);
        EXPECT_EQ(back.dialog.fallbackEncoding, page);
    }
    // UTF-8 is no fallback for files that are not UTF-8: the locale's again.
    for (const char* garbled : {"utf-8", "KOI8-R", ""}) {
        store.put(kOptionsKey, "FallbackEncoding", garbled);
        SettingsStorage(store, dataDir.str(), cyrillic).LoadSettings(s, true);
        EXPECT_EQ(s.dialog.fallbackEncoding, platform::CodePageId::Windows1251) << garbled;
    }
}

TEST_F(SettingsTest, DatesComeBackFromTheirMultiples) {
    const int day = dayNumberFromDate({2020, 6, 15});
    struct Case {
        std::string minNum, maxNum;
        int minDay, maxDay;
    };
    const int defaultMin = dayNumberFromDate({2025, 3, 31});
    const int defaultMax = dayNumberFromDate({2026, 3, 31});
    const Case cases[] = {
        {std::to_string(day * 7), std::to_string(day * 9), day, day},
        // Not a multiple: the integer quotient.
        {std::to_string(day * 7 + 6), std::to_string(day * 9 + 8), day, day},
        {"garbage", "", defaultMin, defaultMax},
        // Beyond what a date picker can show.
        {std::to_string(2147483647), std::to_string(-2147483647), defaultMin, defaultMax},
    };
    for (const Case& c : cases) {
        store.put(kOptionsKey, "MinDateTimePickerNum", c.minNum);
        store.put(kOptionsKey, "MaxDateTimePickerNum", c.maxNum);
        StoredSettings s;
        storage().LoadSettings(s, false);
        EXPECT_EQ(s.options.minDateTimePicker, c.minDay) << c.minNum;
        EXPECT_EQ(s.options.maxDateTimePicker, c.maxDay) << c.maxNum;
    }
}

TEST_F(SettingsTest, DateTextsAreWrittenButNeverRead) {
    store.put(kOptionsKey, "MinDateTimePicker", "1999-01-01");
    StoredSettings s;
    storage().LoadSettings(s, false);
    EXPECT_EQ(dateFromDayNumber(s.options.minDateTimePicker), (platform::CivilDate{2025, 3, 31}));
}

TEST_F(SettingsTest, EditorCommandFollowsItsDefaultChain) {
    struct Case {
        std::optional<std::string> editor, editorA;
        std::string command;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, "\"/usr/bin/gedit\" \"%PrFullName%\""},
        {"\"/opt/ed/ed\"", std::nullopt, "\"/opt/ed/ed\" \"%PrFullName%\""},
        {"\"/opt/ed/ed\"", "vi %PrFullName%", "vi %PrFullName%"},
        {std::nullopt, "", ""},  // a cleared command stays cleared
    };
    for (const Case& c : cases) {
        store.erase(kOptionsKey, "Editor");
        store.erase(kOptionsKey, "EditorA");
        if (c.editor) store.put(kOptionsKey, "Editor", *c.editor);
        if (c.editorA) store.put(kOptionsKey, "EditorA", *c.editorA);
        DialogSettings d;
        storage().loadDialogSettings(d);
        EXPECT_EQ(d.editorA, c.command);
    }
}

TEST_F(SettingsTest, RadioGroupsLoadWithExactlyOneChoice) {
    // Two query types on: the later one wins, as setting the buttons in turn would.
    store.put(kOptionsKey, "PhraseButton", "1");
    store.put(kOptionsKey, "TextButton", "1");
    // No modification type on at all: the default one.
    store.put(kOptionsKey, "ReplaceButton", "0");
    store.put(kOptionsKey, "WinXPRadioButton", "0");
    store.put(kOptionsKey, "UnXPRadioButton", "0");
    store.put(kOptionsKey, "MacXPRadioButton", "0");
    StoredSettings s;
    storage().LoadSettings(s, true);
    EXPECT_FALSE(s.options.phraseButton);
    EXPECT_TRUE(s.options.textButton);
    const MainOptions& o = s.options;
    EXPECT_EQ(o.noneButton + o.replaceButton + o.replaceSpacesButton + o.insertButton + o.insertAfterButton +
                  o.deleteButton,
              1);
    EXPECT_TRUE(o.replaceButton);
    EXPECT_TRUE(s.dialog.unXPRadioButton);
    EXPECT_FALSE(s.dialog.winXPRadioButton || s.dialog.macXPRadioButton);
}

}  // namespace
}  // namespace vsr::settings::test

namespace vsr::settings::test {
namespace {

TEST_F(SettingsTest, ExtremeValuesNeitherOverflowNorComeBackAsNonsense) {
    StoredSettings s = firstStartSettings(env());
    s.options.minDateTimePicker = 2147483647;
    s.options.maxDateTimePicker = -2147483647 - 1;
    ASSERT_TRUE(storage().SaveSettings(s, false).ok());
    EXPECT_EQ(option("MinDateTimePickerNum"), "15032385529");
    EXPECT_EQ(option("MinDateTimePicker"), "<missing>");

    store.put(kOptionsKey, "FindWidth", "-2147483648");
    store.erase(kOptionsKey, "FindLeft");
    StoredSettings loaded;
    storage().LoadSettings(loaded, false);
    EXPECT_EQ(loaded.options.minDateTimePicker, dayNumberFromDate({2025, 3, 31}));
    EXPECT_EQ(loaded.options.maxDateTimePicker, dayNumberFromDate({2026, 3, 31}));
    EXPECT_EQ(loaded.options.findLeft, (1600 + 2147483648LL) / 2);
}

}  // namespace
}  // namespace vsr::settings::test
