// The scripted window runs the file commands end to end: the real window, the real trash of
// this test run's own data folder and the real process starter.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace {

namespace fs = std::filesystem;
using vsr::test::readFile;
using vsr::test::runProgram;
using vsr::test::TempDir;

// Names a shell would act on; here they are only names.
const std::string kHostile[] = {"a;touch pwned;.txt", "$(touch pwned).txt", "line\nbreak.txt"};

vsr::test::ToolRun demo(std::vector<std::string> args) {
    return runProgram(VSR_WINDOW_DEMO_EXE, args);
}

TEST(WindowDemo, CopyRenameAndDeleteHostileNamesThroughTheWindow) {
    TempDir dir;
    for (const std::string& n : kHostile) dir.write("files/" + n, "find\n");
    dir.write("files/other.txt", "nothing\n");
    dir.write("out/" + kHostile[0], "old\n");
    const std::string files = (dir.path() / "files").string(), out = (dir.path() / "out").string();

    auto r = demo({"--path", files, "--query", "find", "--run", "--select-all", "--then", "copy-files=" + out,
                   "--answer", "skip", "--quit"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Copy Files: " + out + "/" + kHostile[0] + " already exists. Do you want to replace it?"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(readFile(dir.path() / "out" / kHostile[0]), "old\n");  // skipped
    EXPECT_EQ(readFile(dir.path() / "out" / kHostile[1]), "find\n");
    EXPECT_EQ(readFile(dir.path() / "out" / kHostile[2]), "find\n");

    r = demo({"--path", files, "--query", "find", "--run", "--select-all", "--then", "rename-files",
              "--rename-prefix", "x_", "--rename-extension", "md", "--then", "select-all", "--then", "delete-files",
              "--print-rows", "--quit"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Confirm Multiple File Delete: Are you sure you want to send these 3 files to the Trash?"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");  // every row left with its file
    const fs::path trash = fs::path(std::getenv("XDG_DATA_HOME")) / "Trash" / "files";
    EXPECT_EQ(readFile(trash / "x_a;touch pwned;.md"), "find\n");
    EXPECT_EQ(readFile(trash / "x_$(touch pwned).md"), "find\n");
    EXPECT_TRUE(fs::exists(dir.path() / "files" / "other.txt"));
    EXPECT_FALSE(fs::exists(dir.path() / "files" / "pwned"));
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST(WindowDemo, TheEditorGetsTheHostileNameAsOneArgument) {
    TempDir dir;
    const fs::path file = dir.write("files/" + kHostile[0], "find\n");
    const fs::path editor = dir.write("bin/record", "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done "
                                                    "> args.tmp\nmv args.tmp args.txt\n");
    fs::permissions(editor, fs::perms::owner_all);
    auto r = demo({"--path", (dir.path() / "files").string(), "--query", "find", "--run", "--editor",
                   "\"" + editor.string() + "\" -n%NumLine% %PrFullName%", "--then", "edit-file", "--quit"});
    ASSERT_EQ(r.status, 0) << r.err;
    // The editor starts in its own folder, and the program never waits for it.
    const fs::path args = dir.path() / "bin" / "args.txt";
    for (int i = 0; i < 200 && !fs::exists(args); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    EXPECT_EQ(readFile(args), "[-n1]\n[" + file.string() + "]\n");
    EXPECT_FALSE(fs::exists(dir.path() / "bin" / "pwned"));
}

TEST(WindowDemo, TheChosenEncodingDecidesWhichBytesAQueryIs) {
    TempDir dir;
    // "Слово слово" in Windows-1251, and "слово" in UTF-8.
    dir.write("files/cp1251.txt", "\xD1\xEB\xEE\xE2\xEE \xF1\xEB\xEE\xE2\xEE\r\n");
    dir.write("files/utf8.txt", "\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE\n");
    const std::string files = (dir.path() / "files").string();
    const std::string word = "\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE";
    auto r = demo({"--encoding", "1251", "--path", files, "--query", word, "--run", "--print-rows", "--quit"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, files + "/cp1251.txt\t2\n");
    r = demo({"--encoding", "utf-8", "--path", files, "--query", word, "--run", "--print-rows", "--quit"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, files + "/utf8.txt\t1\n");
    // Latin-1 cannot hold it: the window says so and lists nothing.
    r = demo({"--encoding", "8859-1", "--path", files, "--query", word, "--run", "--print-rows", "--quit"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("cannot be written in the text encoding ISO-8859-1"), std::string::npos) << r.err;
}

TEST(WindowDemo, UnknownWordsGetTheUsage) {
    const auto r = demo({"--then", "format-disk"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage:"), std::string::npos);
}

}  // namespace
