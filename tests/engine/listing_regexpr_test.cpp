#include <gtest/gtest.h>

#include <chrono>

#include "backtrack_limit_guard.h"
#include "engine/query/compiled_query.h"
#include "search_fixture.h"

namespace vsr::engine {
namespace {

using test::Rows;
using test::SearchFixture;

struct RegExprCase {
    std::vector<std::string> query;
    std::string file;
    bool caseSensitive;
    bool dotAll;
    bool extended;
    bool eachLine;
    std::string expected;  // Found text, or "" when not listed
};

class RegExprFiles : public ::testing::TestWithParam<RegExprCase> {};

TEST_P(RegExprFiles, CountsNonEmptyMatches) {
    const RegExprCase& c = GetParam();
    SearchFixture f;
    f.fs.addFile("/data/f.txt", c.file);
    f.conditions.textEncoding = platform::CodePageId::Windows1252;  // the cases are bytes of its page
    f.conditions.queryType = QueryType::RegExpr;
    f.conditions.findLines = c.query;
    f.conditions.caseSensitive = c.caseSensitive;
    f.conditions.dotMatchesAll = c.dotAll;
    f.conditions.extendedSyntax = c.extended;
    f.conditions.eachLineSeparately = c.eachLine;
    Rows rows = f.run();
    if (c.expected.empty()) EXPECT_EQ(rows, Rows{});
    else EXPECT_EQ(rows, (Rows{"/data/f.txt:" + c.expected}));
    EXPECT_TRUE(f.host.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegExprFiles,
    ::testing::Values(
        // Empty matches are not counted: a file without x is not listed.
        RegExprCase{{"x*"}, "abc\nxx x\n", false, false, false, false, "2"},
        RegExprCase{{"x*"}, "abc\n", false, false, false, false, ""},
        // Line by line: "." never crosses a line end.
        RegExprCase{{"a.b"}, "a\nb\naxb\n", false, false, false, false, "1"},
        // With "." matching all, the whole text is searched and a match may span lines.
        RegExprCase{{"a.*b"}, "a\nb\n", false, true, false, false, "1"},
        RegExprCase{{"a.*b"}, "a\nb\n", false, false, false, false, ""},
        // "$" and "^" work at every line of the whole text too (m is always on).
        RegExprCase{{"b$", "^c"}, "ab\r\ncd\nb\nc", false, false, false, false, "2"},
        // The whole text ends every line with CR LF, but a last line without a line end gets
        // none: only " \r\n" matches, not a line end after "b" that the file does not have.
        RegExprCase{{"\\s+"}, "a \nb", false, false, false, false, "1"},
        RegExprCase{{"\\s+"}, "a \nb\n", false, false, false, false, "2"},
        RegExprCase{{"\\s+"}, "a \nb", false, false, false, true, "1"},
        RegExprCase{{"^.*foo"}, "xfoo foo\nfoo", false, false, false, false, "2"},
        RegExprCase{{".*foo"}, "xfoo foo\nfoo", false, false, false, false, "2"},
        RegExprCase{{"FOO"}, "foo Foo", false, false, false, false, "2"},
        RegExprCase{{"FOO"}, "foo Foo", true, false, false, false, ""},
        RegExprCase{{"f o o"}, "foo", false, false, true, false, "1"},
        RegExprCase{{"f o o"}, "foo", false, false, false, false, ""},
        // Only the text before a NUL byte is searched.
        RegExprCase{{"b"}, std::string("ab\0b\n", 5), false, false, false, false, "1"},
        RegExprCase{{"caf\xC9"}, "caf\xE9", false, false, false, false, "1"}));

TEST(RegExprListing, RunExpressionJoinsLinesAndAnchorsLeadingDotStar) {
    SearchConditions c = formConditions("/data");
    c.queryType = QueryType::RegExpr;
    c.findLines = {".*foo"};
    EXPECT_EQ(CompiledQuery(c).expression(), "^.*foo");
    c.findLines = {"a", "b"};
    EXPECT_EQ(CompiledQuery(c).expression(), "a\r\nb");
    c.findLines = {"x.*"};
    EXPECT_EQ(CompiledQuery(c).expression(), "x.*");
}

TEST(RegExprListing, ExpressionErrorIsReportedOnceAndEndsTheRun) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "abc");
    f.fs.addFile("/data/b.txt", "abc");
    f.conditions.queryType = QueryType::RegExpr;
    f.conditions.findLines = {"ab(c"};
    EXPECT_EQ(f.run(), Rows{});
    EXPECT_EQ(f.messageTexts(), (std::vector<std::string>{"Regular Expression: Error: ParseReg Unmatched () (pos 3)"}));
    EXPECT_EQ(f.host.selectedCharacter, 3);
    EXPECT_TRUE(f.host.state.stop);
}

TEST(RegExprListing, ExpressionTooComplexForAFileIsReportedAndEndsTheRun) {
    test::BacktrackLimitGuard budget(100000);
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "aaaa\n");
    f.fs.addFile("/data/b.txt", std::string(30, 'a') + "!\n");
    f.fs.addFile("/data/c.txt", "aaaa\n");
    f.conditions.queryType = QueryType::RegExpr;
    f.conditions.findLines = {"^(a+)+$"};
    // Nobody presses Stop here: the engine's own budget must end the match.
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:1"}));
    EXPECT_EQ(f.messageTexts(), (std::vector<std::string>{"Regular Expression: Error: Expression Too Complex For This Text"}));
    EXPECT_EQ(f.host.selectedCharacter, 0);
    EXPECT_TRUE(f.host.state.stop);
}

// One budget of steps for a file: lines that each fit a budget of their own add up, so no file
// costs more than its budget, however many lines it has.
TEST(RegExprListing, StepBudgetCoversTheWholeFile) {
    test::StepLimitGuard steps(1'000'000);
    SearchFixture f;
    std::string lines;
    for (int k = 0; k < 4; ++k) lines += std::string(20, 'a') + "cb\n";  // each about 700,000 steps
    f.fs.addFile("/data/a.txt", "aab\n");
    f.fs.addFile("/data/b.txt", lines);
    f.conditions.queryType = QueryType::RegExpr;
    f.conditions.findLines = {"(a|aa)+[bc]$"};
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:1"}));
    EXPECT_EQ(f.messageTexts(), (std::vector<std::string>{"Regular Expression: Error: Expression Too Complex For This Text"}));
}

TEST(RegExprListing, SearchTabUsesItsOwnFieldAndCaption) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "abc");
    f.conditions.tab = Tab::SearchAndReplace;
    f.conditions.searchType = SearchType::RegExpr;
    f.conditions.searchLines = {std::string(1001, 'a')};
    EXPECT_EQ(f.run(), Rows{});
    EXPECT_EQ(f.messageTexts(),
              (std::vector<std::string>{"Vantix Search & Replace: The lines are too long for the To Search field"}));
    f.host.messages.clear();
    f.conditions.searchLines = {std::string(998, 'a') + "|b"};
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:1"}));
}

TEST(RegExprListing, EmptyQueryListsEveryFileWithoutFoundColumn) {
    SearchFixture f;
    f.fs.addFile("/data/f.txt", "a");
    f.conditions.queryType = QueryType::RegExpr;
    f.conditions.findLines = {""};
    EXPECT_EQ(f.run(), (Rows{"/data/f.txt:"}));
    EXPECT_TRUE(f.host.list.foundColumnAbsent());
}

TEST(RegExprListing, StopDuringALongMatchLeavesTheFileUnlisted) {
    SearchFixture f;
    f.fs.addFile("/data/b.txt", std::string(48, 'a') + "cb");
    f.conditions.queryType = QueryType::RegExpr;
    f.conditions.findLines = {"(a|aa)+[bc]$"};
    // Without Stop this match would run for minutes; Stop is pressed once the run is under way.
    test::StepLimitGuard steps(std::uint64_t{1} << 60);
    f.clock.setStepPerRead(30);
    auto began = std::chrono::steady_clock::now();
    f.host.onPump = [&] {
        if (std::chrono::steady_clock::now() - began > std::chrono::milliseconds(20)) f.host.state.stop = true;
    };
    EXPECT_EQ(f.run(), Rows{});
    EXPECT_TRUE(f.host.state.stop);
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
    EXPECT_TRUE(f.host.messages.empty());
}

}  // namespace
}  // namespace vsr::engine
