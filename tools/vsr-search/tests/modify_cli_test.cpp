#include <gtest/gtest.h>


#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "search_options.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::tools {
namespace {

struct ToolRun {
    int status = -1;
    std::vector<std::string> lines;  // standard output, sorted within each block
};

// Runs the tool; the rows of each block (before and after "-- undo") are sorted, since rows
// follow the directory order.
ToolRun modify(const std::vector<std::string>& args) {
    const vsr::test::ToolRun run = vsr::test::runProgram(VSR_SEARCH_EXE, args);
    ToolRun r;
    r.status = run.status;
    const std::string& out = run.out;
    std::istringstream in(out);
    std::string line;
    long blockStart = 0;
    while (std::getline(in, line)) {
        if (line == "-- undo") {
            std::sort(r.lines.begin() + blockStart, r.lines.end());
            r.lines.push_back(line);
            blockStart = static_cast<long>(r.lines.size());
        } else {
            r.lines.push_back(line);
        }
    }
    std::sort(r.lines.begin() + blockStart, r.lines.end());
    return r;
}

TEST(VsrSearchModify, ReplacesPrintsResultsAndUndoes) {
    vsr::test::TempDir tree;
    tree.write("a.txt", "one two one\n");
    tree.write("b.txt", "one\r\nlast");
    tree.write("c.txt", "none here\n");
    const std::string root = tree.str();
    ToolRun r = modify({"--path", root, "--query", "one", "--whole", "--modify", "replace", "--replace", "1",
                    "--separator", "windows", "--backups", "--undo-after"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.lines, (std::vector<std::string>{root + "/a.txt\t0\tModified", root + "/b.txt\t0\tModified",
                                                 "-- undo", root + "/a.txt\t2\tUndid", root + "/b.txt\t1\tUndid"}));
    EXPECT_EQ(vsr::test::readFile(tree.path() / "a.txt"), "one two one\n");
    EXPECT_EQ(vsr::test::readFile(tree.path() / "b.txt"), "one\r\nlast");
}

TEST(VsrSearchModify, IntervalAndMultilineReplacementFile) {
    vsr::test::TempDir tree;
    vsr::test::TempDir scratch;
    tree.write("a.txt", "x\nx\nx\n");
    scratch.write("with.txt", "p\nq\n");
    const std::string root = tree.str();
    ToolRun r = modify({"--path", root, "--query", "x", "--modify", "replace", "--replace-file",
                    (scratch.path() / "with.txt").string(), "--type", "regex", "--each-line", "--interval", "2:2"});
    EXPECT_EQ(r.status, 0);
    // A regex with a multi-line template: its line break is written as it stands.
    EXPECT_EQ(vsr::test::readFile(tree.path() / "a.txt"), "x\np\r\nq\nx\n");

    tree.write("b.txt", "x\nx\nx\n");
    r = modify({"--path", root, "--masks", "b.txt", "--query", "x", "--modify", "delete", "--interval", "2:0"});
    EXPECT_EQ(r.lines, (std::vector<std::string>{root + "/b.txt\t1\tModified    \\2 - Bottom"}));
    EXPECT_EQ(vsr::test::readFile(tree.path() / "b.txt"), "x\n\n\n");
}

TEST(VsrSearchModify, FailedFileGivesStatusThree) {
    vsr::test::TempDir tree;
    tree.write(".hidden.txt", "a\n");
    const std::string root = tree.str();
    ToolRun r = modify({"--path", root, "--query", "a", "--modify", "delete"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.lines, (std::vector<std::string>{root + "/.hidden.txt\t1\tFailed Modification"}));
    r = modify({"--path", root, "--query", "a", "--modify", "delete", "--backups", "--hidden-ok"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(vsr::test::readFile(tree.path() / ".hidden.txt"), "\n");
}

// A failed row is named on standard error with its reason, in the run and in the dry run.
TEST(VsrSearchModify, AFailedFileIsNamedWithItsReason) {
    vsr::test::TempDir tree;
    tree.write(".hidden.txt", "a\n");
    const std::string root = tree.str();
    for (const bool dry : {false, true}) {
        SCOPED_TRACE(dry);
        std::vector<std::string> args{"--path", root, "--query", "a", "--modify", "delete"};
        if (dry) args.push_back("--dry-run");
        const vsr::test::ToolRun run = vsr::test::runProgram(VSR_SEARCH_EXE, args);
        EXPECT_EQ(run.status, 3);
        EXPECT_NE(run.err.find("vsr-search: " + root + "/.hidden.txt: Failed Modification: it is hidden, which only a "
                               "run with backups may modify\n"),
                  std::string::npos)
            << run.err;
    }
}

// A message of the search is an input error (2); a message that ends the modification leaves
// files as they were, which is the modification's failure (3), for the run and for the dry run.
TEST(VsrSearchModify, AMessageThatEndsTheModificationGivesStatusThree) {
    vsr::test::TempDir tree;
    tree.write("a.txt", "a\n");
    const std::string root = tree.str();
    for (const bool dry : {false, true}) {
        SCOPED_TRACE(dry);
        std::vector<std::string> args{"--path", root, "--query", "a", "--modify", "replace", "--replace",
                                      std::string(4001, 'b')};
        if (dry) args.push_back("--dry-run");
        const vsr::test::ToolRun run = vsr::test::runProgram(VSR_SEARCH_EXE, args);
        EXPECT_EQ(run.status, 3) << run.err;
        EXPECT_NE(run.err.find("The string is too long for the To Replace or Insert field"), std::string::npos) << run.err;
        EXPECT_EQ(vsr::test::readFile(tree.path() / "a.txt"), "a\n");
    }
    // A query the search refuses is an input error, in the dry run too (which prints nothing).
    for (const bool dry : {false, true}) {
        std::vector<std::string> args{"--path", root, "--type", "regex", "--query", "(a", "--modify", "replace", "--replace", "b"};
        if (dry) args.push_back("--dry-run");
        const vsr::test::ToolRun refused = vsr::test::runProgram(VSR_SEARCH_EXE, args);
        EXPECT_EQ(refused.status, 2) << refused.err;
        if (dry) {
            EXPECT_EQ(refused.out, "");
        }
        EXPECT_EQ(vsr::test::readFile(tree.path() / "a.txt"), "a\n");
    }
}

// After a modification each row's Found column counts what its file now holds, whatever the query
// type: a phrase and a regular expression that finds the same text give the same rows.
TEST(VsrSearchModify, PhraseAndRegexRowsCountTheNewContentsAlike) {
    vsr::test::TempDir tree;
    const std::string root = tree.str();
    const std::pair<const char*, const char*> modifications[] = {
        {"replace", "uno"}, {"replace", "phone"}, {"before", "X"}, {"after", "Y"}, {"delete", nullptr}};
    for (const auto& [type, with] : modifications) {
        for (const char* threads : {"1", "3"}) {
            std::vector<std::string> rows[2];
            std::string contents[2];
            for (int regex = 0; regex < 2; ++regex) {
                for (int i = 0; i < 4; ++i) tree.write("f" + std::to_string(i) + ".txt", "one two one\nthree\none\n");
                std::vector<std::string> args{"--path", root, "--query", "one", "--modify", type, "--threads", threads};
                if (with) args.insert(args.end(), {"--replace", with});
                if (regex) args.insert(args.end(), {"--type", "regex"});
                const ToolRun r = modify(args);
                EXPECT_EQ(r.status, 0);
                rows[regex] = r.lines;
                contents[regex] = vsr::test::readFile(tree.path() / "f2.txt");
            }
            EXPECT_EQ(rows[0], rows[1]) << type << " " << (with ? with : "") << " threads " << threads;
            EXPECT_EQ(contents[0], contents[1]) << type;
        }
    }
}

TEST(VsrSearchModifyOptions, RefusesWhatTheWindowCannotDo) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--path", "/", "--query", "a", "--modify", "swap"},
          std::vector<std::string>{"--path", "/", "--query", "a", "--modify", "clear", "--type", "regex"},
          std::vector<std::string>{"--path", "/", "--query", "a", "--undo-after"},
          std::vector<std::string>{"--path", "/", "--query", "a", "--modify", "delete", "--interval", "3:-1"},
          std::vector<std::string>{"--path", "/", "--query", "a", "--modify", "delete", "--separator", "dos"},
          std::vector<std::string>{"--path", "/", "--query", "a", "--modify", "delete", "--type", "and"}}) {
        SearchOptions o = parseSearchOptions(args, "/home");
        EXPECT_FALSE(o.error.empty()) << args[5];
    }
    SearchOptions o = parseSearchOptions({"--path", "/", "--query", "a", "--modify", "before", "--replace", "<",
                                          "--read-only-ok", "--interval", "-1:-1"},
                                         "/home");
    EXPECT_EQ(o.error, "");
    EXPECT_EQ(o.conditions.tab, engine::Tab::SearchAndReplace);
    EXPECT_EQ(o.conditions.searchText, "a");
    EXPECT_EQ(o.conditions.modificationType, engine::ModificationType::InsertBefore);
    EXPECT_TRUE(o.modify.options.replaceReadOnly);
    EXPECT_TRUE(o.modify.interval.isNil());
}

}  // namespace
}  // namespace vsr::tools
