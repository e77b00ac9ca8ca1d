#include <gtest/gtest.h>

#include <tuple>

#include "lines_viewer_fixture.h"

namespace vsr::engine::test {
namespace {

TEST(LinesViewerPhrase, EveryOccurrenceIsHighlightedAndCounted) {
    FillFixture f;
    f.file("no\nababab\nxx ab\n");
    f.phrase("ab");
    FillResult r = f.fill();
    EXPECT_EQ(r.end, FillEnd::Done);
    EXPECT_EQ(f.dump(), (Lines{"     File:  f.txt      Path:  /data|", " line 2: ababab|9:2 11:2 13:2",
                               " line 3: xx ab|12:2"}));
    EXPECT_EQ(f.host.list.row(0).found, "4");
    EXPECT_EQ(f.content.entry(1).fullText, " line 2: ababab");
}

TEST(LinesViewerPhrase, CaseAndWholeWordsFollowTheConditions) {
    struct Case {
        bool sensitive;
        bool whole;
        Lines marked;
    } cases[] = {
        {false, false, {"Cat", "cat", "CAT", "cat"}},
        {true, false, {"cat", "cat"}},
        {false, true, {"Cat", "CAT"}},
    };
    for (const Case& c : cases) {
        FillFixture f;
        f.file("Cat my_cat CAT cats\n");
        f.phrase("cat");
        f.conditions.caseSensitive = c.sensitive;
        f.conditions.wholeWords = c.whole;
        f.fill();
        ASSERT_EQ(f.content.count(), 2u);
        EXPECT_EQ(f.marked(1), c.marked) << c.sensitive << c.whole;
    }
}

TEST(LinesViewerPhrase, WordsAreHighlightedTermByTermAndFoundListsEveryCount) {
    FillFixture f;
    f.file("b a\na\n");
    f.phrase("a b c", QueryType::WordsOr);
    f.fill();
    EXPECT_EQ(f.dump()[1], " line 1: b a|11:1 9:1");
    EXPECT_EQ(f.host.list.row(0).found, "2, 1, 0");
}

TEST(LinesViewerPhrase, FoundValueIsCutAfter240Characters) {
    FillFixture f;
    f.file("w\n");
    std::string query;
    for (int i = 0; i < 120; ++i) query += "w" + std::to_string(i) + " ";
    f.phrase(query, QueryType::WordsOr);
    f.fill();
    // Counts are appended while the text is shorter than 241 characters: 81 of the 120 fit.
    std::string expected = "0";
    for (int i = 0; i < 80; ++i) expected += ", 0";
    EXPECT_EQ(f.host.list.row(0).found, expected + ",...");
}

TEST(LinesViewerPhrase, SixThousandLinesStopAtTheOverflowEntryButAllAreCounted) {
    FillFixture f;
    std::string text;
    for (int i = 0; i < 6000; ++i) text += "match here\n";
    f.file(text);
    f.phrase("match");
    f.fill();
    ASSERT_EQ(f.content.count(), 5002u);
    EXPECT_EQ(f.content.entry(5000).displayText, " line 5000: match here");
    EXPECT_EQ(f.content.entry(5001).displayText, kOverflowText);
    EXPECT_TRUE(f.content.entry(5001).highlights.empty());
    EXPECT_EQ(f.host.list.row(0).found, "6000");
}

TEST(LinesViewerPhrase, LinesLongerThanTheReachCountEverywhereButHighlightOnlyNearTheStart) {
    FillFixture f;
    std::string longLine = "key" + std::string(2000, '.') + "key";
    f.file(longLine + "\nkey\n");
    f.phrase("key");
    f.fill();
    ASSERT_EQ(f.content.count(), 3u);
    EXPECT_EQ(f.content.entry(1).highlights, (std::vector<Highlight>{{9, 3}}));
    EXPECT_EQ(f.content.entry(1).displayText.size(), kMaxDisplayText);
    EXPECT_EQ(f.host.list.row(0).found, "3");
    // A line holding its only occurrence beyond the reach is still listed.
    FillFixture g;
    g.file(std::string(3000, '.') + "key\n");
    g.phrase("key");
    g.fill();
    ASSERT_EQ(g.content.count(), 2u);
    EXPECT_TRUE(g.content.entry(1).highlights.empty());
    EXPECT_EQ(g.host.list.row(0).found, "1");

    // The reach counts characters: in UTF-8 text "key" after 1000 two-byte letters is marked,
    // after 1100 it is not; in Windows-1252 the same bytes are 2000 characters.
    const std::string ya = "\xD1\x8F";
    for (const auto& [letters, page, marked] : {std::tuple{1000, platform::CodePageId::Utf8, true},
                                                std::tuple{1100, platform::CodePageId::Utf8, false},
                                                std::tuple{1000, platform::CodePageId::Windows1252, false}}) {
        FillFixture u;
        std::string line;
        for (int i = 0; i < letters; ++i) line += ya;
        u.file(line + "key\n");
        u.phrase("key");
        u.conditions.textEncoding = page;
        u.fill();
        ASSERT_EQ(u.content.count(), 2u);
        const std::vector<Highlight> expected = {{static_cast<int>(9 + line.size()), 3}};
        EXPECT_EQ(u.content.entry(1).highlights, marked ? expected : std::vector<Highlight>{}) << letters;
    }
}

TEST(LinesViewerPhrase, ReadingStopsAtTheFirstNulByte) {
    FillFixture f;
    f.file(std::string("ab\nab\0ab\nab\n", 12));
    f.phrase("ab");
    f.fill();
    EXPECT_EQ(f.content.count(), 3u);
    EXPECT_EQ(f.host.list.row(0).found, "2");
}

TEST(LinesViewerPhrase, TooLongQueryEmptiesTheViewerAndTheFoundValue) {
    struct Case {
        Tab tab;
        const char* message;
    } cases[] = {{Tab::Find, "The query is too long"},
                 {Tab::SearchAndReplace, "The string is too long for the To Search field"}};
    for (const Case& c : cases) {
        FillFixture f;
        f.file("x\n");
        f.host.list.mutableRow(0).found = "1";
        f.conditions.tab = c.tab;
        f.conditions.findText = f.conditions.searchText = std::string(4001, 'x');
        EXPECT_EQ(f.fill().end, FillEnd::QueryRefused);
        EXPECT_EQ(f.messageTexts(), Lines{std::string("Vantix Search & Replace: ") + c.message});
        EXPECT_TRUE(f.content.empty());
        EXPECT_EQ(f.host.list.row(0).found, "");
    }
    FillFixture ok;
    ok.file("x\n");
    ok.phrase(std::string(4000, 'x'));
    EXPECT_EQ(ok.fill().end, FillEnd::Done);
    EXPECT_TRUE(ok.messageTexts().empty());
}

TEST(LinesViewerPhrase, SearchAndReplaceTabUsesItsOwnField) {
    FillFixture f;
    f.file("one two\n");
    f.conditions.tab = Tab::SearchAndReplace;
    f.conditions.searchType = SearchType::Phrase;
    f.conditions.findText = "one";
    f.conditions.searchText = "two";
    f.fill();
    EXPECT_EQ(f.marked(1), Lines{"two"});
}

}  // namespace
}  // namespace vsr::engine::test
