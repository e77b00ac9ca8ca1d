#include <gtest/gtest.h>

#include "search_fixture.h"

namespace vsr::engine {
namespace {

using test::Rows;
using test::SearchFixture;

struct BlockCase {
    std::vector<std::string> query;
    std::string file;
    bool trimLeading;
    bool trimTrailing;
    bool caseSensitive;
    std::string expected;  // Found text, or "" when not listed
};

class Blocks : public ::testing::TestWithParam<BlockCase> {};

TEST_P(Blocks, CountsWholeLineBlocks) {
    const BlockCase& c = GetParam();
    SearchFixture f;
    f.fs.addFile("/data/f.txt", c.file);
    f.conditions.queryType = QueryType::Multiline;
    f.conditions.findLines = c.query;
    f.conditions.trimLeading = c.trimLeading;
    f.conditions.trimTrailing = c.trimTrailing;
    f.conditions.caseSensitive = c.caseSensitive;
    Rows rows = f.run();
    if (c.expected.empty()) EXPECT_EQ(rows, Rows{});
    else EXPECT_EQ(rows, (Rows{"/data/f.txt:" + c.expected}));
}

INSTANTIATE_TEST_SUITE_P(
    Files, Blocks,
    ::testing::Values(BlockCase{{"end"}, "   end  \n", true, true, false, "1"},
                      BlockCase{{"end"}, "the end\n", true, true, false, ""},
                      BlockCase{{"end"}, "   end\n", false, true, false, ""},
                      BlockCase{{"a", "b"}, "a\nb\na\nb\n", true, true, false, "2"},
                      BlockCase{{"a", "b"}, "a\r\na\r\nb", true, true, false, "1"},
                      BlockCase{{"a", "a"}, "a\ra\ra\r", true, true, false, "1"},
                      BlockCase{{"A"}, "a\n", true, true, true, ""},
                      BlockCase{{"A"}, "a\n", true, true, false, "1"},
                      BlockCase{{"x"}, std::string("x\n\0x\n", 5), true, true, false, "1"},
                      BlockCase{{"", ""}, "a\n\n \n", true, true, false, "1"}));

TEST(BlockListing, EmptyQueryListsEveryFileWithoutFoundColumn) {
    SearchFixture f;
    f.fs.addFile("/data/f.txt", "a");
    f.conditions.queryType = QueryType::Multiline;
    f.conditions.findLines = {};
    EXPECT_EQ(f.run(), (Rows{"/data/f.txt:"}));
    EXPECT_TRUE(f.host.list.foundColumnAbsent());
    // A memo holding one empty line is an empty memo too.
    f.conditions.findLines = {""};
    EXPECT_EQ(f.run(), (Rows{"/data/f.txt:"}));
}

TEST(BlockListing, QueryLinesLongerThan1000AreRefused) {
    SearchFixture f;
    f.fs.addFile("/data/f.txt", "a");
    f.conditions.queryType = QueryType::Multiline;
    f.conditions.findLines = {"a", std::string(1001, 'b')};
    EXPECT_EQ(f.run(), Rows{});
    EXPECT_EQ(f.messageTexts(),
              (std::vector<std::string>{"Vantix Search & Replace: The lines are too long for the Query field"}));
    f.host.messages.clear();
    f.conditions.findLines = {std::string(1000, 'a')};
    f.fs.addFile("/data/g.txt", std::string(1000, 'a'));
    EXPECT_EQ(f.run(), (Rows{"/data/g.txt:1"}));
    EXPECT_TRUE(f.host.messages.empty());
}

}  // namespace
}  // namespace vsr::engine
