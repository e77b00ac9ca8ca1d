// vsr-search --type regex with its options, run as a separate process on a temporary tree.
#include <gtest/gtest.h>


#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace {

using vsr::test::ToolRun;

ToolRun search(const std::vector<std::string>& args, const vsr::test::TempDir&) {
    return vsr::test::runProgram(VSR_SEARCH_EXE, args);
}

class VsrSearchRegex : public ::testing::Test {
protected:
    vsr::test::TempDir tree;
    vsr::test::TempDir scratch;
    ToolRun find(const std::string& expression, std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"--path", tree.str(), "--type", "regex", "--query", expression};
        args.insert(args.end(), extra.begin(), extra.end());
        return search(args, scratch);
    }
};

TEST_F(VsrSearchRegex, OptionsChooseDotAllExtendedAndEachLine) {
    tree.write("f.txt", "start\nend\nst art\n");
    ToolRun plain = find("start.*end");
    EXPECT_EQ(plain.status, 1) << plain.err;
    ToolRun dotAll = find("start.*end", {"--dot-all"});
    EXPECT_EQ(dotAll.status, 0) << dotAll.err;
    EXPECT_EQ(dotAll.out, tree.str() + "/f.txt\t1\n");
    // Each line on its own: "." may match line ends, but no line holds both words.
    ToolRun eachLine = find("start.*end", {"--dot-all", "--each-line"});
    EXPECT_EQ(eachLine.status, 1) << eachLine.err;
    ToolRun extended = find("st art", {"--extended"});
    EXPECT_EQ(extended.out, tree.str() + "/f.txt\t1\n");
    ToolRun literalBlank = find("st art");
    EXPECT_EQ(literalBlank.out, tree.str() + "/f.txt\t1\n");
    ToolRun twoWays = find("st ?art");
    EXPECT_EQ(twoWays.out, tree.str() + "/f.txt\t2\n");
}

TEST_F(VsrSearchRegex, ExpressionErrorIsReportedWithoutItsPrefix) {
    tree.write("f.txt", "abc\n");
    ToolRun r = find("a[bc");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Regular Expression: Error: Unmatched [] (pos 2)"), std::string::npos) << r.err;
}

// A command-line run has nobody to press Stop: an exponential expression must end on its own.
TEST_F(VsrSearchRegex, ExpressionTooComplexEndsTheRunWithAnError) {
    tree.write("f.txt", std::string(30, 'a') + "!\n");
    ToolRun r = find("^(a+)+$");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Regular Expression: Error: Expression Too Complex For This Text"), std::string::npos)
        << r.err;
}

}  // namespace
