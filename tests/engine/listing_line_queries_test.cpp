#include <gtest/gtest.h>

#include "engine/query/compiled_query.h"
#include "search_fixture.h"

namespace vsr::engine {
namespace {

using test::Rows;
using test::SearchFixture;

struct ListingCase {
    QueryType type;
    std::string query;
    bool whole;
    Rows expected;
};

// Files shared by the listing cases.
void addFiles(SearchFixture& f) {
    f.fs.addFile("/data/xy.txt", "x y\n");
    f.fs.addFile("/data/x.txt", "just x here\r\n");
    f.fs.addFile("/data/ax.txt", "a\rand x\r");
    f.fs.addFile("/data/a.txt", "a\n");
    f.fs.addFile("/data/none.txt", "");
}

class Listing : public ::testing::TestWithParam<ListingCase> {};

TEST_P(Listing, ListsExactlyTheMatchingFiles) {
    SearchFixture f;
    addFiles(f);
    const ListingCase& c = GetParam();
    f.conditions.queryType = c.type;
    f.conditions.findText = c.query;
    f.conditions.wholeWords = c.whole;
    EXPECT_EQ(f.run(), c.expected);
    EXPECT_TRUE(f.host.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Queries, Listing,
    ::testing::Values(
        ListingCase{QueryType::WordsAnd, "x y", false, {"/data/xy.txt:1, 1"}},
        ListingCase{QueryType::WordsOr, "x y", false,
                    {"/data/xy.txt:1, 1", "/data/x.txt:1, 0", "/data/ax.txt:1, 0"}},
        ListingCase{QueryType::SearchEngine, "-x", false, {"/data/a.txt:0", "/data/none.txt:0"}},
        ListingCase{QueryType::SearchEngine, "+a -x", false, {"/data/a.txt:1, 0"}},
        ListingCase{QueryType::SearchEngine, "+a y", true, {"/data/ax.txt:1, 0", "/data/a.txt:1, 0"}},
        ListingCase{QueryType::SearchEngine, "+y +a", true, {}},
        ListingCase{QueryType::Phrase, "X", true, {"/data/xy.txt:1", "/data/x.txt:1", "/data/ax.txt:1"}},
        ListingCase{QueryType::Phrase, "and x", false, {"/data/ax.txt:1"}},
        // A phrase never spans a line end, whatever the line end.
        ListingCase{QueryType::Phrase, "a\rand", false, {}}));

TEST(LineQueryListing, PhraseWithBlanksDoesNotMatchAtLineStart) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "x at start\n");
    f.fs.addFile("/data/b.txt", "in the x middle\n");
    f.conditions.findText = " x ";
    EXPECT_EQ(f.run(), (Rows{"/data/b.txt:1"}));
}

TEST(LineQueryListing, NulByteEndsTheText) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", std::string("abc\0 abc abc", 12));
    f.fs.addFile("/data/b.txt", std::string("\0abc", 4));
    f.conditions.findText = "abc";
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:1"}));
    // Excluded terms after the NUL don't count either.
    f.conditions.queryType = QueryType::SearchEngine;
    f.conditions.findText = "-abc";
    EXPECT_EQ(f.run(), (Rows{"/data/b.txt:0"}));
}

TEST(LineQueryListing, QueryOf4000CharactersRunsAnd4001IsRefused) {
    SearchFixture f;
    std::string q(4000, 'q');
    f.fs.addFile("/data/a.txt", q);
    f.conditions.findText = q;
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:1"}));

    f.conditions.findText = q + "q";
    EXPECT_EQ(f.run(), Rows{});
    EXPECT_EQ(f.messageTexts(), (std::vector<std::string>{"Vantix Search & Replace: The query is too long"}));
    EXPECT_EQ(f.host.status[0], "Not Found");

    f.host.messages.clear();
    f.conditions.tab = Tab::SearchAndReplace;
    f.conditions.searchText = q + "q";
    f.run();
    EXPECT_EQ(f.messageTexts(),
              (std::vector<std::string>{"Vantix Search & Replace: The string is too long for the To Search field"}));
}

TEST(LineQueryListing, EmptyQueryListsEveryFileAndDropsTheFoundColumn) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "x");
    f.fs.addFile("/data/b.log", "");
    f.conditions.findText = "";
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:", "/data/b.log:"}));
    EXPECT_TRUE(f.host.list.foundColumnAbsent());
    EXPECT_TRUE(f.host.state.conditionsChanged);
    EXPECT_EQ(f.fs.readCount(), 0);  // a search by name reads no file

    f.conditions.findText = "x";
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:1"}));
    EXPECT_FALSE(f.host.list.foundColumnAbsent());
    EXPECT_EQ(f.host.list.columnPosition(results::Column::Found), 2);
}

TEST(LineQueryListing, FoundTextIsCutAfter240Characters) {
    SearchFixture f;
    std::string words;
    for (int i = 0; i < 100; ++i) words += "w" + std::to_string(i) + " ";
    f.fs.addFile("/data/a.txt", "w1");
    f.conditions.queryType = QueryType::WordsOr;
    f.conditions.findText = words;
    Rows rows = f.run();
    ASSERT_EQ(rows.size(), 1u);
    const std::string& found = f.host.list.row(0).found;
    EXPECT_EQ(found.substr(0, 7), "0, 1, 0");
    EXPECT_EQ(found.substr(found.size() - 4), ",...");
    EXPECT_LE(found.size(), 240u + 2 + 4);
}

TEST(LineQueryListing, LongLinesAndHugeCountsWork) {
    SearchFixture f;
    std::string line;
    for (int i = 0; i < 300000; ++i) line += "needle ";  // one line of 2.1 MB
    f.fs.addFile("/data/a.txt", line);
    f.conditions.findText = "NEEDLE";
    EXPECT_EQ(f.run(), (Rows{"/data/a.txt:300000"}));
}

}  // namespace
}  // namespace vsr::engine
