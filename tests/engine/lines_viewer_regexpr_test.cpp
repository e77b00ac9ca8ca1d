#include <gtest/gtest.h>

#include "backtrack_limit_guard.h"
#include "engine/query/regexpr_line_rule.h"
#include "lines_viewer_fixture.h"

namespace vsr::engine::test {
namespace {

TEST(LinesViewerRegExpr, LineByLineHighlightsEveryNonEmptyMatch) {
    FillFixture f;
    f.file("a1b22\nnone\n333\n");
    f.memo({"[0-9]+"}, QueryType::RegExpr);
    f.fill();
    EXPECT_EQ(f.dump(), (Lines{"     File:  f.txt      Path:  /data|", " line 1: a1b22|10:1 12:2", " line 3: 333|9:3"}));
    EXPECT_EQ(f.host.list.row(0).found, "3");
}

TEST(LinesViewerRegExpr, EmptyMatchesMakeNoEntry) {
    FillFixture f;
    f.file("abc\nxx\n");
    f.memo({"x*"}, QueryType::RegExpr);
    f.fill();
    EXPECT_EQ(f.dump(), (Lines{"     File:  f.txt      Path:  /data|", " line 2: xx|9:2"}));
    EXPECT_EQ(f.host.list.row(0).found, "1");
}

TEST(LinesViewerRegExpr, AMatchOverThreeLinesMakesThreeEntriesAndOneOccurrence) {
    FillFixture f;
    f.file("zero\nxx begin\nmiddle\nend yy\nlast\n");
    f.memo({"begin\\r\\nmiddle\\r\\nend"}, QueryType::RegExpr);
    f.fill();
    EXPECT_EQ(f.dump(), (Lines{"     File:  f.txt      Path:  /data|", " line 2: xx begin|12:5",
                               " line 3: middle|9:6", " line 4: end yy|9:3"}));
    EXPECT_EQ(f.host.list.row(0).found, "1");
}

TEST(LinesViewerRegExpr, DotMatchingLineEndsSpansLinesOfAnyLineEnd) {
    FillFixture f;
    f.file("a x\rb\n\nc y b\n");
    f.memo({"x.*?b"}, QueryType::RegExpr);
    f.conditions.dotMatchesAll = true;
    f.fill();
    EXPECT_EQ(f.dump(), (Lines{"     File:  f.txt      Path:  /data|", " line 1: a x|11:1", " line 2: b|9:1"}));
    EXPECT_EQ(f.host.list.row(0).found, "1");
}

TEST(LinesViewerRegExpr, SeveralMatchesOnOneLineOfTheWholeTextShareItsEntry) {
    FillFixture f;
    f.file("ab ab\nab\n");
    f.memo({"ab|(?s)q."}, QueryType::RegExpr);  // "." with "(?s)": matched over the whole text
    f.fill();
    EXPECT_EQ(f.dump(), (Lines{"     File:  f.txt      Path:  /data|", " line 1: ab ab|9:2 12:2", " line 2: ab|9:2"}));
}

TEST(LinesViewerRegExpr, ErrorsAreReportedWithThePositionSelected) {
    FillFixture f;
    f.file("x\n");
    f.conditions.tab = Tab::SearchAndReplace;
    f.conditions.searchType = SearchType::RegExpr;
    f.conditions.searchLines = {"ab(c"};
    FillResult r = f.fill(FillPurpose::Browse);
    EXPECT_EQ(r.end, FillEnd::RegExprError);
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].caption, "Regular Expression");
    EXPECT_EQ(f.host.messages[0].text.rfind("Error: ", 0), 0u);
    EXPECT_EQ(f.host.messages[0].text.find("TVxRegex"), std::string::npos);
    ASSERT_EQ(f.events.selected.size(), 1u);
    EXPECT_EQ(f.events.selected[0].first, Tab::SearchAndReplace);
    EXPECT_GT(f.events.selected[0].second, 0);
    EXPECT_TRUE(f.host.state.stop);
    EXPECT_EQ(f.content.count(), 1u);
}

TEST(LinesViewerRegExpr, ExpressionTooComplexForTheFileIsReported) {
    test::BacktrackLimitGuard budget(100000);
    FillFixture f;
    f.file("aaa\n" + std::string(30, 'a') + "!\n");
    f.memo({"^(a+)+$"}, QueryType::RegExpr);
    FillResult r = f.fill(FillPurpose::Browse);
    EXPECT_EQ(r.end, FillEnd::RegExprError);
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].caption, "Regular Expression");
    EXPECT_EQ(f.host.messages[0].text, "Error: Expression Too Complex For This Text");
    EXPECT_TRUE(f.events.selected.empty());
    EXPECT_TRUE(f.host.state.stop);
}

TEST(LinesViewerRegExpr, TooLongQueryLineKeepsTheHeader) {
    FillFixture f;
    f.file("x\n");
    f.host.list.mutableRow(0).found = "1";
    f.memo({"x", std::string(1001, 'y')}, QueryType::RegExpr);
    EXPECT_EQ(f.fill().end, FillEnd::QueryRefused);
    EXPECT_EQ(f.messageTexts(), Lines{"Vantix Search & Replace: The lines are too long for the Query field"});
    EXPECT_EQ(f.content.count(), 1u);
    EXPECT_EQ(f.host.list.row(0).found, "");
}

TEST(LinesViewerRegExpr, LineByLineRule) {
    struct Case {
        const char* expression;
        std::size_t lines;
        bool dotAll;
        bool each;
        bool byLine;
    } cases[] = {
        {"a.b", 1, false, false, true},     {"a.*b", 1, true, false, false},  {"a(?s).b", 1, false, false, false},
        {"ab", 1, true, false, true},       {"a\\nb", 1, false, false, false}, {"a\\sb", 1, false, false, false},
        {"\\Aab", 1, false, false, false},  {"ab\\Z", 1, false, false, false}, {"(?-m)^ab", 1, false, false, false},
        {"(?-m)ab", 1, false, false, true}, {"a\r\nb", 2, false, false, false}, {"a\r\nb", 2, false, true, true},
        {"^ab$", 1, false, false, true},
    };
    for (const Case& c : cases) {
        SearchConditions cond;
        cond.dotMatchesAll = c.dotAll;
        cond.eachLineSeparately = c.each;
        EXPECT_EQ(matchesLineByLine(cond, c.lines, c.expression), c.byLine) << c.expression;
    }
    EXPECT_EQ(anchoredExpression(".*foo"), "^.*foo");
    EXPECT_EQ(anchoredExpression("a.*"), "a.*");
}

TEST(LinesViewerRegExpr, CaseFollowsTheConditions) {
    FillFixture f;
    f.file("Foo foo\n");
    f.memo({"foo"}, QueryType::RegExpr);
    f.fill();
    EXPECT_EQ(f.marked(1), (Lines{"Foo", "foo"}));
    f.conditions.caseSensitive = true;
    f.fill();
    EXPECT_EQ(f.marked(1), (Lines{"foo"}));
}

}  // namespace
}  // namespace vsr::engine::test
