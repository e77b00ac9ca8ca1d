#include <gtest/gtest.h>

#include "lines_viewer_fixture.h"

namespace vsr::engine::test {
namespace {

TEST(LinesViewerBlock, MatchesBecomeLineRangeEntriesWithoutHighlights) {
    struct Case {
        const char* file;
        Lines query;
        Lines entries;
        const char* found;
    } cases[] = {
        {"a\nb\na\nb\n", {"a", "b"}, {" line 1 - line 2|", " line 3 - line 4|"}, "2"},
        {"a\na\nb\n", {"a", "b"}, {" line 2 - line 3|"}, "1"},
        {"x\n   END  \nthe end\n", {"end"}, {" line 2 |"}, "1"},
        {"a\na\na\n", {"a", "a"}, {" line 1 - line 2|"}, "1"},
        {"q\n", {"a"}, {}, "0"},
    };
    for (const Case& c : cases) {
        FillFixture f;
        f.file(c.file);
        f.memo(c.query, QueryType::Multiline);
        f.fill();
        Lines got = f.dump();
        got.erase(got.begin());
        EXPECT_EQ(got, c.entries) << c.file;
        EXPECT_EQ(f.host.list.row(0).found, c.found) << c.file;
    }
}

TEST(LinesViewerBlock, TrimAndCaseOptionsApplyToBothSides) {
    FillFixture f;
    f.file("  End\nend  \nEND\n");
    f.memo({" end "}, QueryType::Multiline);
    f.conditions.caseSensitive = true;
    f.conditions.trimLeading = true;
    f.conditions.trimTrailing = false;
    f.fill();
    EXPECT_EQ(f.host.list.row(0).found, "0");
    f.conditions.trimTrailing = true;
    f.fill();
    EXPECT_EQ(f.host.list.row(0).found, "1");
    EXPECT_EQ(f.content.entry(1).displayText, " line 2 ");
}

TEST(LinesViewerBlock, TooLongQueryLineEmptiesTheViewer) {
    FillFixture f;
    f.file("x\n");
    f.conditions.tab = Tab::SearchAndReplace;
    f.conditions.searchType = SearchType::Multiline;
    f.conditions.searchLines = {std::string(1001, 'x')};
    EXPECT_EQ(f.fill().end, FillEnd::QueryRefused);
    EXPECT_EQ(f.messageTexts(), Lines{"Vantix Search & Replace: The lines are too long for the To Search field"});
    EXPECT_TRUE(f.content.empty());
}

}  // namespace
}  // namespace vsr::engine::test
