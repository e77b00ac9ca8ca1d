#include <gtest/gtest.h>

#include "engine/query/masks.h"

namespace vsr::engine {
namespace {

struct MaskCase {
    const char* mask;
    const char* name;
    bool matches;
};

class MaskMatching : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskMatching, FollowsTheWildcardRules) {
    const MaskCase& c = GetParam();
    ParseMasksResult parsed = parseMasks(c.mask);
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.list.matchesName(c.name), c.matches) << c.mask << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, MaskMatching,
    ::testing::Values(MaskCase{"*.txt", "notes", false}, MaskCase{"*.", "notes", true},
                      MaskCase{"*.*", "notes", true}, MaskCase{"*", "notes", true},
                      MaskCase{"*", "notes.txt", false}, MaskCase{"a?", "ab", true},
                      MaskCase{"a?", "a", false}, MaskCase{"a?.txt", "a.txt", false},
                      MaskCase{"*.TXT", "Readme.txt", true}, MaskCase{"[a-c]*.c", "Bravo.c", true},
                      MaskCase{"[a-c]*.c", "delta.c", false}, MaskCase{"[!a-c]*.c", "delta.c", true},
                      MaskCase{"[!a-c]*.c", "alpha.c", false}, MaskCase{"[abc.c", "a.c", false},
                      MaskCase{"*.tar.gz", "x.tar.gz", true}, MaskCase{"*a*b*c", "xaxbxc", true},
                      MaskCase{"*a*b*c", "xaxcxb", false}, MaskCase{".*", ".bashrc", true},
                      MaskCase{"*.txt;;*.c", "x.c", true}, MaskCase{"*.h; *.c", "x.c", true}));

TEST(ParseMasks, KeepsTypedFormsAndNormalizesTheText) {
    ParseMasksResult r = parseMasks("*.txt;*.htm");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.list.normalizedText, "*.txt; *.htm");

    r = parseMasks(" *.txt ;;*.c;");
    ASSERT_EQ(r.list.masks.size(), 3u);
    EXPECT_EQ(r.list.masks[0].typed, "*.txt");
    EXPECT_EQ(r.list.masks[1].typed, "");
    EXPECT_EQ(r.list.masks[1].matching, ".");
    EXPECT_EQ(r.list.masks[2].matching, "*.c");
    EXPECT_EQ(r.list.normalizedText, "*.txt; ; *.c");
    // The empty mask matches no name.
    EXPECT_FALSE(CompiledMask(r.list.masks[1].matching).matches("notes."));

    EXPECT_EQ(parseMasks("readme").list.masks[0].matching, "readme.");
}

TEST(ParseMasks, RefusesTheHundredthMask) {
    std::string text;
    for (int i = 0; i < 99; ++i) text += "*.e" + std::to_string(i) + ";";
    EXPECT_TRUE(parseMasks(text).ok);
    ParseMasksResult r = parseMasks(text + "*.last");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Too many masks");
}

// The file-name rule gives "." to the mask and to the name alike; giving it to the name alone
// let "a?" match "a" and "*" match "a.b". The mask list must agree with the single matcher.
TEST(MatchMask, DotGoesToMaskAndNameAlike) {
    const MaskCase cases[] = {
        {"a?", "a", false},     {"a?", "ab", true},       {"*", "a.b", false},   {"*", "ab", true},
        {"*.", "ab", true},     {"*.", "a.b", false},     {"*.*", "ab", true},   {"*.*", "a.b", true},
        {"?", "", false},       {"*.c", "MAIN.C", true},  {"[abc", "a", false},  {"[a-c]", "B", true},
        {"a*", "ab.txt", false}, {"a*.*", "ab.txt", true}, {"*?", "x", true},     {"??", "x", false},
    };
    for (const MaskCase& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " vs " + c.name);
        EXPECT_EQ(matchMask(c.mask, c.name), c.matches);
        EXPECT_EQ(parseMasks(c.mask).list.matchesName(c.name), c.matches);
    }
    EXPECT_FALSE(FileNameMask("[ab").valid());
}

TEST(MatchMask, StarCrossesFolderSeparators) {
    EXPECT_TRUE(CompiledMask("/tmp/x/*").matches("/tmp/x/a/b/"));
    EXPECT_FALSE(CompiledMask("/tmp/x/").matches("/tmp/x/a/"));
}

TEST(MatchMask, ManyStarsStayFast) {
    // Backtracking to the last star keeps this linear; a naive matcher would take ages.
    std::string name(5000, 'a');
    EXPECT_FALSE(CompiledMask("*a*a*a*a*a*a*a*a*b").matches(name));
}

}  // namespace
}  // namespace vsr::engine
