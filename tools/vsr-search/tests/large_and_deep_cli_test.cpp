// Files the search can read but a run can't take whole: one past 2 GB - 1 bytes (sparse, so it
// costs no disk) and one whose full name is longer than the system opens. Each is searched
// where the query allows; otherwise it is named on standard error and the run ends with status 3.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/deep_tree.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace vsr::tools {
namespace {

constexpr std::uint64_t kBig = platform::kMaxReadableFileSize + 4097;

std::vector<std::string> sortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.starts_with("files=")) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(VsrSearchLargeFiles, SearchedInPiecesOrNamedWithStatusThree) {
    vsr::test::TempDir tree;
    const std::string r = tree.str();
    const std::string big = tree.write("big.txt", "a needle\n").string();
    ASSERT_EQ(::truncate(big.c_str(), static_cast<off_t>(kBig)), 0);
    tree.write("small.txt", "a needle\n");
    const std::string tooLarge = "it is larger than 2 GB - 1 bytes";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> out;
        std::vector<std::string> err;  // without the closing counts
    };
    const std::vector<std::string> replace{"--tab", "replace", "--modify", "replace", "--replace", "pin"};
    auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Case cases[] = {
        {{}, 0, {big + "\t1", r + "/small.txt\t1"}, {}},
        {{"--type", "regex"}, 0, {big + "\t1", r + "/small.txt\t1"}, {}},
        {{"--type", "regex", "--query", "needle\\s"}, 3, {r + "/small.txt\t1"},
         {"vsr-search: " + big + ": not searched: " + tooLarge + ", and a Reg Expr query reads each file whole"}},
        {replace, 3, {big + "\t1\tFailed Modification", r + "/small.txt\t0\tModified"},
         {"vsr-search: " + big + ": Failed Modification: " + tooLarge + ", more than a modification holds"}},
        {with(replace, {"--dry-run"}), 3,
         {"+++ b/small.txt", "+a pin", "--- a/small.txt", "-a needle", "@@ -1 +1 @@"},
         {"vsr-search: " + big + ": Failed Modification: " + tooLarge + ", more than a modification holds"}},
    };
    for (const Case& c : cases) {
        tree.write("small.txt", "a needle\n");
        const vsr::test::ToolRun run = vsr::test::runProgram(VSR_SEARCH_EXE, with({"--path", r, "--query", "needle"}, c.args));
        const std::string what = testing::PrintToString(c.args);
        EXPECT_EQ(run.status, c.status) << what << run.err;
        EXPECT_EQ(sortedLines(run.out), c.out) << what;
        EXPECT_EQ(sortedLines(run.err), c.err) << what;
        EXPECT_EQ(std::filesystem::file_size(big), kBig) << what;
    }
    EXPECT_FALSE(std::filesystem::exists(big + ".bak"));
}

TEST(VsrSearchLargeFiles, FilesNestedPastTheLongestNameAreListedAndRefusedForModification) {
    vsr::test::TempDir tree;
    const vsr::test::DeepTreeCleanup cleanup{tree.path()};
    ASSERT_TRUE(vsr::test::makeLongChain(tree.path(), 150, std::string(40, 'g'), "a needle\n"));
    const std::string r = tree.str();
    vsr::test::ToolRun run = vsr::test::runProgram(VSR_SEARCH_EXE, {"--path", r, "--query", "needle"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> found = sortedLines(run.out);
    ASSERT_EQ(found.size(), 15u);
    std::size_t longest = 0;
    for (const std::string& row : found) longest = std::max(longest, row.size());
    EXPECT_GT(longest, platform::kLongestFullName);

    // The dry run says what the run does: the same files refused, the others' diffs printed.
    run = vsr::test::runProgram(VSR_SEARCH_EXE, {"--path", r, "--query", "needle", "--tab", "replace", "--modify",
                                                 "replace", "--replace", "pin", "--dry-run"});
    EXPECT_EQ(run.status, 3);
    const std::size_t diffs = static_cast<std::size_t>(std::count(run.out.begin(), run.out.end(), '@'));
    const std::size_t refusedDry = static_cast<std::size_t>(std::count(run.err.begin(), run.err.end(), '\n')) - 1;

    run = vsr::test::runProgram(VSR_SEARCH_EXE, {"--path", r, "--query", "needle", "--tab", "replace", "--modify",
                                                 "replace", "--replace", "pin"});
    EXPECT_EQ(run.status, 3);
    const std::vector<std::string> rows = sortedLines(run.out);
    ASSERT_EQ(rows.size(), 15u);
    int modified = 0, refused = 0;
    for (const std::string& row : rows) {
        const std::string name = row.substr(0, row.find('\t'));
        if (name.size() < platform::kLongestFullName) modified += row.ends_with("\t0\tModified");
        else refused += row.ends_with("\t1\tFailed Modification");
    }
    EXPECT_EQ(modified + refused, 15);
    EXPECT_GT(refused, 0);
    EXPECT_EQ(diffs, 4u * static_cast<std::size_t>(modified));  // "@@ -1 +1 @@" per file
    EXPECT_EQ(refusedDry, static_cast<std::size_t>(refused));
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), refused + 1) << run.err;
    EXPECT_NE(run.err.find(": Failed Modification: its full name is longer than the system takes (4095 bytes)\n"),
              std::string::npos);
}

}  // namespace
}  // namespace vsr::tools
