#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/attribute_changer.h"
#include "platform/linux/dbus_file_manager.h"
#include "platform/linux/desktop_launcher.h"
#include "platform/linux/path_default_editor.h"
#include "platform/linux/xdg_system_folders.h"
#include "support/temp_dir.h"

namespace vsr::platform {
namespace {

namespace fs = std::filesystem;

std::string env(const char* name) { return std::getenv(name); }

// Waits for a detached program to write its file.
std::string awaitFile(const fs::path& file) {
    for (int i = 0; i < 100 && !fs::exists(file); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return vsr::test::readFile(file);
}

TEST(SystemFolders, DataFolderIsCreatedUnderXdgDataHome) {
    const std::string expected = env("XDG_DATA_HOME") + "/Vantix Search & Replace";
    fs::remove_all(expected);
    XdgSystemFolders folders;
    EXPECT_EQ(folders.dataFolder(), expected);
    EXPECT_TRUE(fs::is_directory(expected));
    EXPECT_EQ(folders.homeFolder(), env("HOME"));
    EXPECT_TRUE(fs::exists(fs::path(folders.programFolder()) / "test_platform_qt"));
}

TEST(SystemFolders, DataFolderDefaultsToLocalShare) {
    const std::string saved = env("XDG_DATA_HOME");
    ::unsetenv("XDG_DATA_HOME");
    XdgSystemFolders folders;
    ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    EXPECT_EQ(folders.dataFolder(), env("HOME") + "/.local/share/Vantix Search & Replace");
}

TEST(Launcher, StartsAProgramInItsFolderWithEachArgumentAsItIs) {
    vsr::test::TempDir dir;
    const fs::path script =
        dir.write("show-args", "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > args.tmp\n"
                               "mv args.tmp args.txt\n");
    fs::permissions(script, fs::perms::owner_all);
    // A folder and names that are not UTF-8 go over as their bytes.
    const fs::path work = dir.mkdir("w\xFFork");
    DesktopLauncher launcher;
    // Names a shell would act on reach the program untouched, and nothing runs them.
    const std::vector<std::string> hostile = {"-g17", "/d/a b.txt", "a;touch pwned;.txt", "$(touch pwned).txt",
                                              "`touch pwned`", "line\nbreak.txt", "quote\"d.txt", "*",
                                              "/d/inv\xFF" "alid.txt", "\xC3\xBCn\xC3\xAF.txt"};
    ASSERT_TRUE(launcher.startProgram(script.string(), hostile, work.string()));
    std::string expected;
    for (const std::string& a : hostile) expected += "[" + a + "]\n";
    EXPECT_EQ(awaitFile(work / "args.txt"), expected);
    EXPECT_FALSE(fs::exists(work / "pwned"));
    EXPECT_FALSE(fs::exists(dir.path() / "pwned"));
}

TEST(Launcher, ADocumentWithANameThatIsNotUtf8GoesToTheOpenerAsItIs) {
    vsr::test::TempDir dir;
    const fs::path opener = dir.write("xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.tmp\"; mv \"$0.tmp\" \"$0.txt\"\n");
    fs::permissions(opener, fs::perms::owner_all);
    const std::string savedPath = env("PATH");
    ::setenv("PATH", (dir.str() + ":" + savedPath).c_str(), 1);
    const std::string document = dir.str() + "/inv\xFF" "alid.txt";
    const bool opened = DesktopLauncher().openFile(document);
    ::setenv("PATH", savedPath.c_str(), 1);
    ASSERT_TRUE(opened);
    EXPECT_EQ(awaitFile(dir.path() / "xdg-open.txt"), document);
}

TEST(Launcher, MissingProgramFails) {
    vsr::test::TempDir dir;
    DesktopLauncher launcher;
    EXPECT_FALSE(launcher.startProgram((dir.path() / "no-such-editor").string(), {"x"}, dir.str()));
}

TEST(FileManager, WithoutASessionBusTheFolderIsOpened) {
    // Pointing the session bus nowhere makes the test the same on every machine.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vsr-test-bus", 1);
    static int argc = 1;
    static char name[] = "test_platform_qt";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    FakeLauncher launcher;
    DbusFileManager manager(launcher);
    EXPECT_TRUE(manager.showItem("/srv/data/report.txt"));
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{"/srv/data"}));
    launcher.succeed = false;
    EXPECT_FALSE(manager.showItem("/top.txt"));
    EXPECT_EQ(launcher.opened.back(), "/");
}

TEST(DefaultEditor, FirstListedEditorOnThePathWins) {
    vsr::test::TempDir a, b;
    auto executable = [](const vsr::test::TempDir& dir, const char* name, bool runnable = true) {
        const fs::path p = dir.write(name, "#!/bin/sh\n");
        fs::permissions(p, runnable ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write);
        return p.string();
    };
    const std::string kate = executable(b, "kate");
    executable(a, "mousepad");
    executable(a, "gedit", false);  // not executable: skipped
    EXPECT_EQ(PathDefaultEditor({a.str(), b.str()}).program(), kate);

    vsr::test::TempDir c;
    const std::string opener = executable(c, "xdg-open");
    EXPECT_EQ(PathDefaultEditor({c.str()}).program(), opener);

    vsr::test::TempDir empty;
    EXPECT_EQ(PathDefaultEditor({empty.str()}).program(), "/usr/bin/xdg-open");
}

TEST(AttributeChanger, MakeWritableAndRestoreTheOwnersPermission) {
    vsr::test::TempDir dir;
    const fs::path file = dir.write("locked.txt", "x");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read, fs::perm_options::replace);
    PosixAttributeChanger changer;

    EXPECT_EQ(changer.read(file.string()), (FileAttributes{true, false, false, false}));
    auto saved = changer.makeWritable(file.string());
    ASSERT_TRUE(saved);
    EXPECT_TRUE(saved->attributes.readOnly);
    EXPECT_EQ(saved->mode, 0440u);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_FALSE(changer.read(file.string())->readOnly);

    ASSERT_TRUE(changer.restore(file.string(), *saved));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::group_read);
}

TEST(AttributeChanger, HiddenIsTheLeadingDotAndMissingFilesHaveNone) {
    vsr::test::TempDir dir;
    const fs::path hidden = dir.write(".profile", "x");
    PosixAttributeChanger changer;
    EXPECT_EQ(changer.read(hidden.string()), (FileAttributes{false, true, false, false}));
    EXPECT_EQ(changer.read((dir.path() / "gone").string()), std::nullopt);
    EXPECT_EQ(changer.makeWritable((dir.path() / "gone").string()), std::nullopt);
}

}  // namespace
}  // namespace vsr::platform
