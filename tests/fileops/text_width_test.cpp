#include <gtest/gtest.h>

#include "fileops/text_width.h"

namespace vsr::fileops {
namespace {

// Every character is 2 pixels wide, so a limit of 2n holds n characters.
int twoPerCharacter(std::string_view text) { return 2 * static_cast<int>(characterCount(text)); }

TEST(ShortenToWidth, KeepsTheHeadAndTheLongestTailThatFits) {
    struct Case {
        const char* text;
        int limit;
        std::size_t keep;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"/home/user/file.txt", 40, 3, "/home/user/file.txt"},  // fits as it is
        {"/home/user/file.txt", 38, 3, "/home/user/file.txt"},  // exactly the limit
        {"/home/user/file.txt", 36, 3, "/ho...ser/file.txt"},   // 18 characters
        {"/home/user/file.txt", 20, 3, "/ho....txt"},
        {"/home/user/file.txt", 12, 3, "/ho..."},               // no room for any tail
        {"/home/user/file.txt", 0, 3, "/home/user/file.txt"},   // no limit
        {"The file /a/very/long/name is a read-only file.", 60, 12, "The file /a/...read-only file."},
    };
    for (const Case& c : cases) EXPECT_EQ(shortenToWidth(c.text, c.limit, c.keep, twoPerCharacter), c.expected)
        << c.text << " @" << c.limit;
}

TEST(ShortenToWidth, NeverCutsACharacterInHalf) {
    // "é" and "ü" are two bytes each; the head and the tail count characters.
    const std::string text = "éééé/üüüü/ääää";
    const std::string shortened = shortenToWidth(text, 20, 3, twoPerCharacter);
    EXPECT_EQ(shortened, "ééé...ääää");
}

}  // namespace
}  // namespace vsr::fileops
