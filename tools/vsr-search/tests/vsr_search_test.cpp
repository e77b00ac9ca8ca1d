#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "search_options.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::tools {
namespace {

using Outcome = vsr::test::ToolRun;

// Runs the tool with standard input closed, as CI runs it.
Outcome runTool(const std::vector<std::string>& args, const vsr::test::TempDir&) {
    return vsr::test::runProgram(VSR_SEARCH_EXE, args);
}

class VsrSearch : public ::testing::Test {
protected:
    vsr::test::TempDir tree;
    vsr::test::TempDir scratch;
    std::string root() const { return tree.str(); }
};

TEST_F(VsrSearch, PrintsRowsCountsAndExitStatus) {
    tree.write("a.txt", "Alpha alpha\n");
    tree.write("sub/b.txt", "alpha\r\n");
    tree.write("c.log", "beta\n");
    Outcome o = runTool({"--path", root(), "--masks", "*.txt", "--query", "alpha", "--case"}, scratch);
    EXPECT_EQ(o.status, 0);
    // Listing order is the directory order; compare as a set of lines.
    EXPECT_NE(o.out.find(root() + "/a.txt\t1\n"), std::string::npos);
    EXPECT_NE(o.out.find(root() + "/sub/b.txt\t1\n"), std::string::npos);
    EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 2);
    EXPECT_NE(o.err.find("files=2 occurrences=2 ms="), std::string::npos);

    o = runTool({"--path", root(), "--query", "gamma"}, scratch);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
}

// Rows that could not be written are a failed run with its reason, for a search and for a
// modification (whose files are modified all the same), never a success with rows missing.
TEST_F(VsrSearch, AnOutputThatRefusesTheRowsIsAFailure) {
    tree.write("a.txt", "alpha\n");
    auto toFull = [&](const std::string& args) {
        const std::string command =
            std::string("exec '") + VSR_SEARCH_EXE + "' --path '" + root() + "' --query alpha " + args + " >/dev/full";
        return vsr::test::runProgram("/bin/sh", {"-c", command});
    };
    Outcome o = toFull("");
    EXPECT_EQ(o.status, 3);
    EXPECT_NE(o.err.find("vsr-search: cannot write the output: No space left on device"), std::string::npos) << o.err;
    o = toFull("--lines");
    EXPECT_EQ(o.status, 3);
    o = toFull("--modify replace --replace omega");
    EXPECT_EQ(o.status, 3);
    EXPECT_NE(o.err.find("vsr-search: cannot write the output: "), std::string::npos) << o.err;
    EXPECT_EQ(vsr::test::readFile(tree.path() / "a.txt"), "omega\n");
    // A search with nothing to print has nothing to fail at.
    o = toFull("--case --query gamma");
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_EQ(o.err.find("cannot write"), std::string::npos) << o.err;
}

TEST_F(VsrSearch, InputErrorsAreMessagesWithStatusTwo) {
    tree.write("a.txt", "x");
    Outcome o = runTool({"--query", "x"}, scratch);
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("Find: Please specify the Path"), std::string::npos);

    o = runTool({"--path", root(), "--type", "engine", "--query", "\"open"}, scratch);
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("Find: Missing   \"  "), std::string::npos);

    o = runTool({"--path", root(), "--bogus"}, scratch);
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("usage:"), std::string::npos);

    o = runTool({"--path", root(), "--tab", "replace", "--type", "or", "--query", "x"}, scratch);
    EXPECT_EQ(o.status, 2);

    // A folder named as a query or replacement file is an input error, not a crash.
    o = runTool({"--path", root(), "--query-file", root()}, scratch);
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("cannot read the query file"), std::string::npos);
    o = runTool({"--path", root(), "--query", "x", "--modify", "replace", "--replace-file", root()}, scratch);
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("cannot read the replacement file"), std::string::npos);
}

TEST_F(VsrSearch, IgnoreListsAndMultilineFromFiles) {
    tree.write("keep/a.txt", "one\n  two  \nthree\n");
    tree.write("skip/b.txt", "one\ntwo\n");
    tree.write("skip/deep/c.txt", "one\ntwo\n");
    tree.write("keep/Makefile", "one\ntwo\n");
    scratch.write("dirs.txt", root() + "/skip\n");
    scratch.write("files.txt", "makefile\n");
    scratch.write("query.txt", "one\r\ntwo\r\n");
    Outcome o = runTool({"--path", root(), "--type", "multiline", "--query-file", scratch.str() + "/query.txt",
                         "--ignore-dirs", scratch.str() + "/dirs.txt", "--ignore-subfolders-too",
                         "--ignore-files", scratch.str() + "/files.txt"},
                        scratch);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, root() + "/keep/a.txt\t1\n");
}

TEST_F(VsrSearch, SurvivesLinkLoopsFifosAndMissingPaths) {
    tree.write("a.txt", "needle");
    std::filesystem::create_symlink(tree.path(), tree.path() / "loop");
    ASSERT_EQ(::mkfifo((tree.path() / "pipe").c_str(), 0600), 0);
    Outcome o = runTool({"--path", root(), "--masks", "*", "--query", ""}, scratch);
    EXPECT_EQ(o.status, 1);  // "*" selects names without extension only; pipe and loop are no files
    o = runTool({"--path", root(), "--query", "needle"}, scratch);
    EXPECT_EQ(o.out, root() + "/a.txt\t1\n");
    o = runTool({"--path", root() + "/nowhere", "--query", "needle"}, scratch);
    EXPECT_EQ(o.status, 1);
}

TEST(SearchOptions, MapsEveryOptionOntoTheConditions) {
    SearchOptions o = parseSearchOptions({"--path", "/p", "--masks", "*.c", "--tab", "replace", "--type", "multiline",
                                          "--case", "--whole", "--no-subfolders", "--backups", "--size-min", "5",
                                          "--unit", "MB", "--between", "2024-01-02", "2024-02-03", "--codepage",
                                          "1250", "--query", "q"},
                                         "/home/u");
    ASSERT_EQ(o.error, "");
    const engine::SearchConditions& c = o.conditions;
    EXPECT_EQ(c.path, "/p");
    EXPECT_EQ(c.tab, engine::Tab::SearchAndReplace);
    EXPECT_EQ(c.searchType, engine::SearchType::Multiline);
    EXPECT_EQ(c.searchText, "q");
    EXPECT_TRUE(c.caseSensitive && c.wholeWords && c.createBackups && c.sizeFilter && c.dateFilter);
    EXPECT_FALSE(c.includeSubfolders);
    EXPECT_EQ(c.sizeLimitKind, engine::SizeLimitKind::Minimum);
    EXPECT_EQ(c.sizeUnit, engine::SizeUnit::MB);
    EXPECT_EQ(c.minDate, (platform::CivilDate{2024, 1, 2}));
    EXPECT_EQ(c.textEncoding, platform::CodePageId::Windows1250);

    SearchOptions d = parseSearchOptions({"--path", "/p"}, "/home/u");
    EXPECT_EQ(d.conditions.masks, "*.*");
    EXPECT_TRUE(d.conditions.trimLeading && d.conditions.trimTrailing && d.conditions.includeSubfolders);
    EXPECT_FALSE(d.conditions.caseSensitive);
    EXPECT_EQ(d.conditions.queryType, engine::QueryType::Phrase);

    for (std::vector<std::string> bad : {std::vector<std::string>{"--size-min", "-3"},
                                         {"--size-min", "1", "--size-max", "2"},
                                         {"--newer", "x"},
                                         {"--between", "2024-02-03", "2024-01-02"},
                                         {"--codepage", "utf-16"},
                                         {"--query-file", "/nonexistent/q.txt"}})
        EXPECT_NE(parseSearchOptions(bad, "/h").error, "") << bad[0];
}

}  // namespace
}  // namespace vsr::tools
