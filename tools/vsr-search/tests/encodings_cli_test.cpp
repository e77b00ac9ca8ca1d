// Files a Windows program saved (UTF-16 with its mark, Windows-1252 without one) are found from
// a UTF-8 desktop's command line, named with their encodings, and a dry run shows the change
// of their text.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::tools {
namespace {

TEST(VsrSearchEncodings, FilesOfWindowsProgramsAreFoundAndNamed) {
    vsr::test::TempDir tree;
    tree.write("le.txt", std::string("\xFF\xFEh\0e\0l\0l\0o\0 \0w\0o\0r\0l\0d\0\r\0\n\0", 28));
    tree.write("ansi.txt", "\xC4rger\r\n");
    tree.write("plain.txt", "hello \xC3\x84rger\n");
    auto run = [&](std::vector<std::string> args) {
        std::vector<std::string> full = {"--path", tree.str(), "--codepage", "utf-8", "--encodings"};
        full.insert(full.end(), args.begin(), args.end());
        return vsr::test::runProgram(VSR_SEARCH_EXE, full);
    };
    const std::string root = tree.str() + "/";
    vsr::test::ToolRun r = run({"--query", "hello", "--masks", "le.txt"});
    EXPECT_EQ(r.out, root + "le.txt\t1\tUTF-16 LE\n");
    r = run({"--query", "\xC3\x84rger", "--masks", "*.txt"});
    EXPECT_NE(r.out.find(root + "ansi.txt\t1\tWindows-1252\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(root + "plain.txt\t1\tUTF-8\n"), std::string::npos) << r.out;
    EXPECT_EQ(run({"--query", "\xC3\x84rger", "--masks", "ansi.txt", "--fallback", "bytes"}).out, "");
    EXPECT_EQ(run({"--query", "x", "--fallback", "utf-8"}).status, 2);
    // The dry run's diff is of the text, in UTF-8, not of the UTF-16 bytes.
    r = run({"--query", "world", "--masks", "le.txt", "--modify", "replace", "--replace", "Welt", "--separator",
             "windows", "--dry-run"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("-hello world\r\n+hello Welt\r\n"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace vsr::tools
