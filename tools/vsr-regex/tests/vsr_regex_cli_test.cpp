// vsr-regex as a separate process: output format, options, exit status and errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace {

using vsr::test::ToolRun;

ToolRun runRegex(const std::vector<std::string>& args, const std::string& input) {
    vsr::test::TempDir dir;
    return vsr::test::runProgram(VSR_REGEX_EXE, args, dir.write("in.txt", input).string());
}

struct CliCase {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string out;
};

TEST(VsrRegexTool, PrintsMatchesAndExitStatus) {
    const CliCase cases[] = {
        {{"b+"}, "abbcb", 0, "2\t2\n5\t1\n"},
        {{"x"}, "abc", 1, ""},
        {{"ABC"}, "abc", 1, ""},
        {{"-i", "ABC"}, "abc", 0, "1\t3\n"},
        {{"a$"}, "a\na", 0, "3\t1\n"},
        {{"-m", "a$"}, "a\na", 0, "1\t1\n3\t1\n"},
        {{"a.b"}, "a\nb", 0, "1\t3\n"},
        {{"--no-s", "a.b"}, "a\nb", 1, ""},
        {{"a.*b"}, "ab ab", 0, "1\t5\n"},
        {{"--no-g", "a.*b"}, "ab ab", 0, "1\t2\n4\t2\n"},
        {{"-x", "a b"}, "ab", 0, "1\t2\n"},
        {{"[\xE0-\xFF]"}, "\xB8", 0, "1\t1\n"},
        {{"--no-r", "[\xE0-\xFF]"}, "\xB8", 1, ""},
        {{"--offset", "3", "a"}, "aaaa", 0, "3\t1\n4\t1\n"},
        {{"--offset", "9", "a"}, "aaaa", 1, ""},
        {{"x*"}, "xa", 0, "1\t1\n2\t0\n3\t0\n"},
        {{"--template", "$2=$1", "(\\w+)=(\\w+)"}, "k=v", 0, "1\t3\tv=k\n"},
        // UTF-8: offsets and lengths stay in bytes, characters are whole.
        {{"--utf8", "."}, "\xC3\xA9" "a", 0, "1\t2\n3\t1\n"},
        {{"--utf8", "-i", "\\w+"}, "\xC3\x84rger!", 0, "1\t6\n"},
        {{"--utf8", "-i", "\xC3\xA4"}, "\xC3\x84", 0, "1\t2\n"},
    };
    for (const CliCase& c : cases) {
        ToolRun r = runRegex(c.args, c.input);
        std::string label = c.args.back();
        EXPECT_EQ(r.status, c.status) << label << " " << r.err;
        EXPECT_EQ(r.out, c.out) << label;
    }
}

TEST(VsrRegexTool, GroupsListEveryGroupOneToFourteen) {
    ToolRun r = runRegex({"--groups", "(a)(x)?(b)"}, "ab");
    EXPECT_EQ(r.status, 0);
    std::string expected = "1\t2\t1,1\t-1,-1\t2,1";
    for (int k = 4; k <= 14; ++k) expected += "\t-1,-1";
    EXPECT_EQ(r.out, expected + "\n");
}

TEST(VsrRegexTool, ErrorsGoToStandardErrorWithCodeAndPosition) {
    ToolRun r = runRegex({"ab)"}, "ab");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "error 104 3: TVxRegex(comp): ParseReg Unmatched () (pos 3)\n");
    r = runRegex({"--offset", "0", "a"}, "a");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "error 1006 0: TVxRegex(exec): Offset Must Be Greater Then 0\n");
    r = runRegex({"--frobnicate", "a"}, "a");
    EXPECT_EQ(r.status, 2);
}

}  // namespace
