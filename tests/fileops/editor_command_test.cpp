#include <gtest/gtest.h>

#include <filesystem>

#include "fileops/editor_command.h"
#include "fileops/program_lookup.h"
#include "support/temp_dir.h"

namespace vsr::fileops {
namespace {

namespace fs = std::filesystem;

TEST(EditorCommandSplit, ProgramAndParameters) {
    struct Case {
        const char* command;
        CommandParts expected;
    };
    const std::vector<Case> cases = {
        // The documented example: a quoted program, an option with the line, a quoted file.
        {R"("C:\Tools\ed.exe" -g17 "D:\a\b.txt")", {R"(C:\Tools\ed.exe)", R"(-g17 "D:\a\b.txt")"}},
        {R"("/opt/my editor/ed" -g17 "/d/a b.txt")", {"/opt/my editor/ed", R"(-g17 "/d/a b.txt")"}},
        {"notepad.exe /a/b c.txt", {"notepad.exe", "/a/b c.txt"}},
        {"/usr/bin/gedit", {"/usr/bin/gedit", ""}},
        {"\"/usr/bin/gedit\"", {"/usr/bin/gedit", ""}},
        {"gedit    +3   f", {"gedit", "+3   f"}},
        // Unquoted program with a quotation mark before any blank: no program part at all.
        {"ed\"x\"", {"", "ed\"x\""}},
        // Quoted program whose closing mark comes after a blank inside it.
        {"\"/a b/ed\" x", {"/a b/ed", "x"}},
        // Quoted, never closed: the program ends at the first blank.
        {"\"/a b/ed x", {"/a", "b/ed x"}},
        // Quoted with no blank at all: the whole rest up to the closing mark.
        {"\"ed\"", {"ed", ""}},
        {"", {"", ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(splitEditorCommand(c.command), c.expected) << c.command;
}

TEST(EditorCommandSplit, ArgumentsGroupedByQuotationMarks) {
    EXPECT_EQ(splitArguments(R"(-g17  "/d/a b.txt" plain)"),
              (std::vector<Argument>{{"-g17", false}, {"/d/a b.txt", true}, {"plain", false}}));
    EXPECT_EQ(splitArguments(R"("" x"y z"w)"), (std::vector<Argument>{{"", true}, {"xy zw", true}}));
    EXPECT_TRUE(splitArguments("   ").empty());
}

TEST(EditorPlaceholders, EachPlaceholderOfTheBrowsedFile) {
    const EditTarget t{"/d/a", "archive.tar.gz", 123};
    EXPECT_EQ(expandPlaceholders("%PrFullName%|%PrPath%|%PrName%|%PrExt%|%NumLine%", t),
              "/d/a/archive.tar.gz|/d/a/|archive.tar|.gz|123");
    EXPECT_EQ(expandPlaceholders("%PrName%:%PrExt%:", {"/d", "Makefile", 1}), "Makefile::");
    EXPECT_EQ(expandPlaceholders("%PrFullName% %PrPath%", {"/", "top.txt", 1}), "/top.txt /");
    // Case matters, and every occurrence is replaced.
    EXPECT_EQ(expandPlaceholders("%numline% %NumLine%%NumLine%", t), "%numline% 123123");
    // A value is never expanded again, even when the file's name looks like a placeholder.
    EXPECT_EQ(expandPlaceholders("%PrFullName% -l%NumLine%", {"/d", "%NumLine%.txt", 5}), "/d/%NumLine%.txt -l5");
}

TEST(EditorLaunch, FileNamesStaySingleArgumentsWhateverTheyHold) {
    const std::string command = R"( "/opt/my ed/ed" -g%NumLine% "%PrFullName%" --name=%PrName% %PrExt% )";
    for (const std::string name : {"a;rm -rf ~.txt", "$(touch x).txt", "line\nbreak.txt", "quote\" --evil \".txt",
                                   "plain name.txt"}) {
        const EditorLaunch launch = editorLaunch(command, {"/d/x y", name, 17});
        EXPECT_EQ(launch.program, "/opt/my ed/ed");
        ASSERT_GE(launch.arguments.size(), 3u) << name;
        EXPECT_EQ(launch.arguments[0], "-g17");
        EXPECT_EQ(launch.arguments[1], "/d/x y/" + name);
        EXPECT_EQ(launch.arguments[2].rfind("--name=", 0), 0u);
    }
    // An unquoted placeholder with blanks in its value is still one argument; one that expands
    // to nothing disappears, a quoted one stays as an empty argument.
    const EditorLaunch plain = editorLaunch("ed %PrFullName% %PrExt% \"%PrExt%\"", {"/a b", "Makefile", 1});
    EXPECT_EQ(plain.program, "ed");
    EXPECT_EQ(plain.arguments, (std::vector<std::string>{"/a b/Makefile", ""}));
}

TEST(ProgramLookup, PathsAndBareNames) {
    vsr::test::TempDir dir;
    const fs::path bin = dir.mkdir("bin");
    const fs::path editor = dir.write("bin/my-ed", "#!/bin/sh\n");
    fs::permissions(editor, fs::perms::owner_all);
    const fs::path notExecutable = dir.write("bin/plain", "text");
    dir.mkdir("bin/folder-ed");
    const std::string path = "relative:" + dir.str() + "/none:" + bin.string();

    EXPECT_EQ(findProgram("my-ed", path), editor.string());
    EXPECT_EQ(findProgram(editor.string(), ""), editor.string());
    EXPECT_EQ(findProgram("plain", path), std::nullopt);
    EXPECT_EQ(findProgram(notExecutable.string(), path), std::nullopt);
    EXPECT_EQ(findProgram("folder-ed", path), std::nullopt);
    EXPECT_EQ(findProgram((bin / "missing").string(), path), std::nullopt);
    EXPECT_EQ(findProgram("", path), std::nullopt);
}

}  // namespace
}  // namespace vsr::fileops
