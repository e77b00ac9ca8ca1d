#include <gtest/gtest.h>

#include "modify_fixture.h"

namespace vsr::engine {
namespace {

using test::ModifyFixture;
using MT = ModificationType;
using namespace std::string_literals;

struct TypeCase {
    const char* name;
    SearchType search;
    std::vector<std::string> query;    // searchText is the first line for a phrase
    std::vector<std::string> replace;  // replaceText is the first line for a phrase
    MT type;
    std::string before;
    std::string after;
    bool wholeWords = false;
    bool caseSensitive = true;
    LineSeparator separator = LineSeparator::Unix;
};

std::ostream& operator<<(std::ostream& os, const TypeCase& c) { return os << c.name; }

class ModificationTypes : public ::testing::TestWithParam<TypeCase> {};

TEST_P(ModificationTypes, GiveExactBytes) {
    const TypeCase& t = GetParam();
    ModifyFixture f;
    // The cases are bytes of Windows-1252, whose letters above 0x7F are word characters.
    f.c.textEncoding = platform::CodePageId::Windows1252;
    if (t.search == SearchType::Phrase) f.phrase(t.query.at(0), t.replace.empty() ? "" : t.replace.at(0));
    else if (t.search == SearchType::RegExpr) f.regex(t.query, t.replace);
    else f.block(t.query, t.replace);
    f.c.modificationType = t.type;
    f.c.wholeWords = t.wholeWords;
    f.c.caseSensitive = t.caseSensitive;
    f.options.separator = t.separator;
    std::size_t row = f.add("a.txt", t.before);
    f.modifyAll();
    EXPECT_EQ(f.read("a.txt"), t.after);
    EXPECT_EQ(f.result(row), "Modified");
    EXPECT_TRUE(f.host.messages.empty());
}

const SearchType P = SearchType::Phrase;
const SearchType R = SearchType::RegExpr;
const SearchType M = SearchType::Multiline;

INSTANTIATE_TEST_SUITE_P(
    Phrase, ModificationTypes,
    ::testing::Values(
        TypeCase{"WholeWordsUseTheWholeLine", P, {"cat"}, {"dog"}, MT::Replace, "cat concat cat_ cat.\n",
                 "dog concat cat_ dog.\n", true},
        TypeCase{"InsertedTextIsNotSearchedAgain", P, {"aa"}, {"a"}, MT::Replace, "aaaa\n", "aa\n"},
        TypeCase{"ReplacementHoldingTheSearchText", P, {"a"}, {"aa"}, MT::Replace, "aaa", "aaaaaa"},
        TypeCase{"ClearLeavesSpaces", P, {"abc"}, {"zz"}, MT::Clear, "xabcx\n", "x   x\n"},
        TypeCase{"InsertAfter", P, {"[x"}, {"]"}, MT::InsertAfter, "a[xb\n", "a[x]b\n"},
        TypeCase{"InsertBefore", P, {"[x"}, {"]"}, MT::InsertBefore, "a[xb\n", "a][xb\n"},
        TypeCase{"Delete", P, {"ab"}, {}, MT::Delete, "abcab\nxab\n", "c\nx\n"},
        TypeCase{"CaseInsensitiveKeepsReplacementVerbatim", P, {"cat"}, {"Dog"}, MT::Replace, "CAT cAt\n",
                 "Dog Dog\n", false, false},
        TypeCase{"CaseSensitiveLeavesOtherCase", P, {"cat"}, {"dog"}, MT::Replace, "CAT cat\n", "CAT dog\n"},
        TypeCase{"EightBitLettersAreWordCharacters", P, {"to"}, {"X"}, MT::Replace, "to t\xe9to to\n",
                 "X t\xe9to X\n", true},
        TypeCase{"NoFinalSeparatorStaysWithout", P, {"b"}, {"B"}, MT::Replace, "a\nb", "a\nB"},
        TypeCase{"LineEndsBecomeTheSetting", P, {"b"}, {"B"}, MT::Replace, "a\nb\n", "a\r\nB\r\n", false, true,
                 LineSeparator::Windows},
        TypeCase{"MixedLineEndsToMacintosh", P, {"b"}, {"B"}, MT::Replace, "a\r\nb\nc\rd", "a\rB\rc\rd", false,
                 true, LineSeparator::Macintosh},
        TypeCase{"NothingFoundStillRewritesSeparators", P, {"zz"}, {"y"}, MT::Replace, "a\r\nb\r\n", "a\nb\n"},
        TypeCase{"OnlyTextBeforeTheFirstNulChanges", P, {"foo"}, {"bar"}, MT::Replace,
                 "foo\nfoo\0foo\r\nfoo\n"s, "bar\r\nbar\0foo\r\nfoo\n"s, false, true,
                 LineSeparator::Windows},
        TypeCase{"NulAtTheStartChangesNothing", P, {"b"}, {"B"}, MT::Replace, "\0b\nb\n"s,
                 "\0b\nb\n"s}));

INSTANTIATE_TEST_SUITE_P(
    RegExpr, ModificationTypes,
    ::testing::Values(
        TypeCase{"TrailingBlanksDeletedLineByLine", R, {" +$"}, {}, MT::Delete, "a  \nb\nc \n", "a\nb\nc\n"},
        TypeCase{"GroupsInTheTemplate", R, {"(\\w+)=(\\w+)"}, {"$2=$1"}, MT::Replace, "a=b x=yz\n", "b=a yz=x\n"},
        TypeCase{"WholeMatchAndEscapes", R, {"b+"}, {"[$&\\$0]"}, MT::Replace, "abbc\n", "a[bb$0]c\n"},
        TypeCase{"InsertBeforeKeepsTheMatch", R, {"b"}, {"<$0>"}, MT::InsertBefore, "abcb\n", "a<b>bc<b>b\n"},
        TypeCase{"InsertAfter", R, {"[0-9]+"}, {"!"}, MT::InsertAfter, "x12y3\n", "x12!y3!\n"},
        TypeCase{"EmptyMatchesChangeNothing", R, {"x*"}, {"-"}, MT::Replace, "abc\nxx\n", "abc\n-\n"},
        TypeCase{"LeadingDotStarIsAnchored", R, {".*b"}, {"X"}, MT::Replace, "aabcb\n", "X\n"},
        TypeCase{"CaseInsensitive", R, {"cat"}, {"dog"}, MT::Replace, "Cat CAT\n", "dog dog\n", false, false},
        TypeCase{"WholeTextAcrossLines", R, {"b\\r\\nc"}, {"BC"}, MT::Replace, "a\nb\nc\nd\n", "a\nBC\nd\n"},
        TypeCase{"TwoLineExpressionIsWholeText", R, {"b", "c"}, {"1", "2"}, MT::Replace, "a\nb\nc\n",
                 "a\n1\n2\n"},
        TypeCase{"WholeTextWithoutFinalSeparator", R, {"c\\s*"}, {"C"}, MT::Replace, "b\nc", "b\nC"},
        TypeCase{"SubstitutionWithLineBreaksIsVerbatim", R, {"b"}, {"1", "2"}, MT::Replace, "abc\n",
                 "a1\r\n2c\n"},
        TypeCase{"LineByLineStopsAtTheFirstNul", R, {"foo"}, {"bar"}, MT::Replace,
                 "foo\0foo\nfoo\n"s, "bar\0foo\nfoo\n"s},
        TypeCase{"WholeTextStopsAtTheFirstNul", R, {"o\\r\\nf"}, {"-"}, MT::Replace,
                 "foo\nfoo\0\nfoo\n"s, "fo-oo\0\nfoo\n"s}));

INSTANTIATE_TEST_SUITE_P(
    Multiline, ModificationTypes,
    ::testing::Values(
        TypeCase{"OverlappingBlocksReplacedOnce", M, {"x", "x"}, {"R"}, MT::Replace, "a\nb\nx\nx\nx\nc\n",
                 "a\nb\nR\nx\nc\n"},
        TypeCase{"ReplaceWithMoreLines", M, {"b"}, {"1", "2"}, MT::Replace, "a\nb\nc\nb\n", "a\n1\n2\nc\n1\n2\n"},
        TypeCase{"ClearKeepsEmptyLines", M, {"b", "c"}, {"zz"}, MT::Clear, "a\nb\nc\nd", "a\n\n\nd"},
        TypeCase{"InsertBeforeEveryBlock", M, {"b"}, {"<"}, MT::InsertBefore, "b\nx\nb\n", "<\nb\nx\n<\nb\n"},
        TypeCase{"InsertAfterEveryBlock", M, {"b", "c"}, {">", ">>"}, MT::InsertAfter, "b\nc\nb\nc\n",
                 "b\nc\n>\n>>\nb\nc\n>\n>>\n"},
        TypeCase{"DeleteBlocks", M, {"b"}, {}, MT::Delete, "a\nb\nb\nc\nb", "a\nc"},
        TypeCase{"BlocksStopAtTheFirstNul", M, {"a", "b"}, {"X"}, MT::Replace,
                 "a\nb\na\0\nb\na\nb\n"s, "X\na\0\nb\na\nb\n"s},
        TypeCase{"NormalisedComparison", M, {"  KEY = 1 "}, {"new"}, MT::Replace, "key = 1\t\nkey = 2\n",
                 "new\nkey = 2\n", false, false}));

TEST(ModificationTypesTrim, BlanksCountWhenTrimmingIsOff) {
    ModifyFixture f;
    f.block({"b"}, {"X"});
    f.c.trimLeading = false;
    f.c.trimTrailing = false;
    f.add("a.txt", " b\nb \nb\n");
    f.modifyAll();
    EXPECT_EQ(f.read("a.txt"), " b\nb \nX\n");
}

TEST(PhraseLongLines, OccurrencesAcrossAnyBoundaryAreFound) {
    ModifyFixture f;
    const std::string needle(250, 'n');
    f.phrase(needle, "#");
    std::string line;
    for (int i = 0; i < 40; ++i) line += std::string(static_cast<std::size_t>(37 * i % 211), '.') + needle;
    f.add("a.txt", line + "\n");
    f.modifyAll();
    std::string expected;
    for (int i = 0; i < 40; ++i) expected += std::string(static_cast<std::size_t>(37 * i % 211), '.') + "#";
    EXPECT_EQ(f.read("a.txt"), expected + "\n");
}

}  // namespace
}  // namespace vsr::engine
