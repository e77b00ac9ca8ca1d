#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "platform/linux/ini_text.h"
#include "platform/linux/qt_settings_store.h"
#include "platform/locale_formats.h"
#include "settings/key_paths.h"
#include "settings/sample_settings.h"
#include "settings/settings_storage.h"
#include "support/temp_dir.h"

namespace vsr::platform {
namespace {

namespace fs = std::filesystem;
using settings::kOptionsKey;
using settings::kProgramKey;

settings::SettingsEnvironment environment(const FakeLocaleFormats& locale) {
    settings::SettingsEnvironment env;
    env.today = settings::dayNumberFromDate({2026, 12, 8});
    env.homeFolder = "/home/tester";
    env.editorProgram = "/usr/bin/kate";
    env.locale = &locale;
    return env;
}

int entriesIn(const fs::path& dir) {
    return static_cast<int>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(QtSettingsStore, RoundTripThroughTheFileRestoresEveryValue) {
    vsr::test::TempDir dir;
    const std::string file = (dir.path() / "conf" / "settings.ini").string();
    FakeLocaleFormats locale;
    const settings::StoredSettings saved = settings::test::everyValueChanged();
    {
        QtSettingsStore store(file);
        settings::SettingsStorage storage(store, dir.str(), environment(locale));
        ASSERT_TRUE(storage.SaveSettings(saved, true).ok());
    }
    QtSettingsStore store(file);
    settings::SettingsStorage storage(store, dir.str(), environment(locale));
    settings::StoredSettings loaded;
    storage.LoadSettings(loaded, true);
    EXPECT_EQ(loaded, saved);
}

TEST(QtSettingsStore, FileShowsKeyPathsAndValueNames) {
    vsr::test::TempDir dir;
    const fs::path file = dir.path() / "settings.ini";
    FakeLocaleFormats locale;
    QtSettingsStore store(file.string());
    settings::SettingsStorage storage(store, dir.str(), environment(locale));
    ASSERT_TRUE(storage.SaveSettings(settings::test::everyValueChanged(), true).ok());

    const std::string text = vsr::test::readFile(file);
    for (const char* line : {"[Software\\Vantix Search & Replace]\n", "[Software\\Vantix Search & Replace\\Options]\n",
                             "\nComboBoxPathText=/srv/data\n", "\nComboBoxPathCountV=3\n", "\nEdit21=a\\\\b\n",
                             "\nSensitiveCheckBox=1\n", "\nMinDateTimePicker=2001-02-03\n",
                             "\nEditorA=\"/opt/my editor/ed\" -g%NumLine% \"%PrFullName%\"\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    // Each key is one section, even though sorted names would interleave them.
    EXPECT_EQ(text.find("[Software\\Vantix Search & Replace]"), text.rfind("[Software\\Vantix Search & Replace]"));
    EXPECT_LT(text.find("SearchEditText"), text.find("[Software\\Vantix Search & Replace\\Options]"));
}

TEST(QtSettingsStore, AwkwardValuesComeBackByteForByte) {
    const std::string values[] = {
        "",
        "  blanks around  ",
        "line\nbreak\r\nand cr\r",
        "back\\slash\\n not a break",
        "a=b; c, \"quoted\" #hash",
        "[not a section]",
        "; not a comment",
        std::string("nul\0inside", 10),
        "caf\xc3\xa9 and \xff\xfe invalid UTF-8",
        "trailing backslash\\",
    };
    vsr::test::TempDir dir;
    const std::string file = (dir.path() / "s.ini").string();
    {
        QtSettingsStore store(file);
        for (size_t i = 0; i < std::size(values); ++i) store.writeString(kOptionsKey, "V" + std::to_string(i), values[i]);
        ASSERT_TRUE(store.commit());
    }
    QtSettingsStore store(file);
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(store.readString(kOptionsKey, "V" + std::to_string(i)), values[i]) << i;
    EXPECT_EQ(store.readString(kOptionsKey, "Missing"), std::nullopt);
    EXPECT_EQ(store.readString(kProgramKey, "V0"), std::nullopt);
}

TEST(QtSettingsStore, HandEditedAndGarbledFilesAreRead) {
    vsr::test::TempDir dir;
    const fs::path file = dir.write("s.ini",
                                    "garbage line without equals\r\n"
                                    "[Software\\Vantix Search & Replace\\Options]\r\n"
                                    "; a note\r\n"
                                    "SizeSpinEdit=250\r\n"
                                    "=no name\r\n"
                                    "[broken section\r\n"
                                    "DaysAgoSpinEdit=x7\r\n"
                                    "\x01\x02\x03\r\n");
    QtSettingsStore store(file.string());
    EXPECT_EQ(store.readString(kOptionsKey, "SizeSpinEdit"), "250");
    EXPECT_EQ(store.readString(kOptionsKey, "DaysAgoSpinEdit"), "x7");

    FakeLocaleFormats locale;
    settings::SettingsStorage storage(store, dir.str(), environment(locale));
    settings::StoredSettings loaded;
    storage.LoadSettings(loaded, true);
    EXPECT_EQ(loaded.options.sizeSpinEdit, 250);
    EXPECT_EQ(loaded.options.daysAgoSpinEdit, 2);
}

// Whatever a rewrite would lose is kept first: a file with lines that are no setting is
// copied to settings.ini.damaged (once told), one that can't be read is moved there; a sound
// file, blank lines and comments are no damage.
TEST(QtSettingsStore, ADamagedFileIsKeptBesideTheNewOne) {
    struct Case {
        const char* what;
        std::string bytes;  // empty: a folder stands where the file should be
        bool damaged;
    };
    const std::string section = "[Software\\Vantix Search & Replace\\Options]\n";
    const Case cases[] = {
        {"sound", section + "SizeSpinEdit=250\n\n; note\n# note\n", false},
        {"torn by zeros", section + "SizeSpinEdit=250\n" + std::string(40, '\0'), true},
        {"garbage", "\x7f""ELF\x02\x01\x01 binary\n" + section + "SizeSpinEdit=250\n", true},
        {"unreadable", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        vsr::test::TempDir dir;
        const fs::path file = dir.path() / "settings.ini";
        const fs::path copy = dir.path() / "settings.ini.damaged";
        if (c.bytes.empty()) fs::create_directory(file);
        else dir.write("settings.ini", c.bytes);
        {
            QtSettingsStore store(file.string());
            EXPECT_EQ(store.readString(kOptionsKey, "SizeSpinEdit"),
                      c.bytes.empty() ? std::nullopt : std::optional<std::string>("250"));
            EXPECT_EQ(store.damagedCopy(), c.damaged ? copy.string() : "");
            store.writeString(kOptionsKey, "DaysAgoSpinEdit", "9");
            ASSERT_TRUE(store.commit());
        }
        if (!c.damaged) {
            EXPECT_FALSE(fs::exists(copy));
            continue;
        }
        if (c.bytes.empty()) EXPECT_TRUE(fs::is_directory(copy));
        else EXPECT_EQ(vsr::test::readFile(copy), c.bytes);
        // The new file is sound, so the next start keeps nothing more.
        QtSettingsStore next(file.string());
        EXPECT_EQ(next.readString(kOptionsKey, "DaysAgoSpinEdit"), "9");
        EXPECT_EQ(next.damagedCopy(), "");
    }
    EXPECT_NE(QtSettingsStore::damagedCopyMessage("/c/settings.ini", "/c/settings.ini.damaged")
                  .find("kept as /c/settings.ini.damaged"),
              std::string::npos);
}

TEST(QtSettingsStore, FullDiskLeavesTheOldFileIntact) {
    vsr::test::TempDir dir;
    const fs::path file = dir.path() / "settings.ini";
    {
        QtSettingsStore store(file.string());
        store.writeString(kOptionsKey, "SizeSpinEdit", "55");
        ASSERT_TRUE(store.commit());
    }
    const std::string before = vsr::test::readFile(file);

    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool committed = true;
    {
        QtSettingsStore store(file.string());
        store.writeString(kOptionsKey, "SizeSpinEdit", "66");
        store.writeString(kProgramKey, "Edit2Text", std::string(100000, 'x'));
        committed = store.commit();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(committed);
    EXPECT_EQ(vsr::test::readFile(file), before);
    EXPECT_EQ(valuesOfIniText(QByteArray::fromStdString(before))
                  .value(QStringLiteral("Software/Vantix Search & Replace/Options/SizeSpinEdit"))
                  .toByteArray(),
              "55");
    EXPECT_EQ(entriesIn(dir.path()), 1) << "no temporary file may stay behind";
}

TEST(QtSettingsStore, UnwritableFolderFailsTheCommit) {
    vsr::test::TempDir dir;
    dir.write("blocked", "a file where the folder should be");
    QtSettingsStore store((dir.path() / "blocked" / "settings.ini").string());
    store.writeString(kOptionsKey, "NomTab", "2");
    EXPECT_FALSE(store.commit());
    EXPECT_EQ(vsr::test::readFile(dir.path() / "blocked"), "a file where the folder should be");
}

TEST(QtSettingsStore, HardLinkedFileStaysOneFileAndOtherInstancesValuesAreKept) {
    vsr::test::TempDir dir;
    const fs::path file = dir.path() / "settings.ini";
    QtSettingsStore first(file.string());
    first.writeString(kOptionsKey, "NomTab", "1");
    ASSERT_TRUE(first.commit());
    fs::create_hard_link(file, dir.path() / "dotfiles.ini");
    {
        QtSettingsStore other(file.string());
        other.writeString(kOptionsKey, "SizeSpinEdit", "77");
        ASSERT_TRUE(other.commit());
    }
    first.writeString(kOptionsKey, "NomTab", "2");
    ASSERT_TRUE(first.commit());
    EXPECT_EQ(fs::hard_link_count(file), 2u);
    QtSettingsStore reread((dir.path() / "dotfiles.ini").string());
    EXPECT_EQ(reread.readString(kOptionsKey, "NomTab"), "2");
    EXPECT_EQ(reread.readString(kOptionsKey, "SizeSpinEdit"), "77");
}

TEST(QtSettingsStore, UserFileLivesInTheConfigFolder) {
    const std::string expected = std::string(std::getenv("XDG_CONFIG_HOME")) + "/Vantix Search & Replace/settings.ini";
    EXPECT_EQ(QtSettingsStore::defaultFilePath(), expected);
}

TEST(IniText, EscapesOnlyWhatWouldBreakALine) {
    struct Case {
        QByteArray value, text;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"a\\b", "a\\\\b"},
        {"a\nb\r", "a\\nb\\r"},
        {QByteArray("\0", 1), "\\0"},
        {"=;#[]\"", "=;#[]\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(escapedIniValue(c.value), c.text);
        EXPECT_EQ(unescapedIniValue(c.text), c.value);
    }
    // A backslash a person typed before another letter stays as typed.
    EXPECT_EQ(unescapedIniValue("C:\\Temp"), "C:\\Temp");
}

}  // namespace
}  // namespace vsr::platform
