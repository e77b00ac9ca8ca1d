#include <gtest/gtest.h>

#include "engine/viewer/lines_viewer_content.h"

namespace vsr::engine {
namespace {

TEST(LinesViewerTexts, EntryTextsAreExact) {
    EXPECT_EQ(headerText("a.txt", "/home/u"), "     File:  a.txt      Path:  /home/u");
    EXPECT_EQ(foundLinePrefix(12), " line 12: ");
    EXPECT_EQ(multilineText(7, 1), " line 7 ");
    EXPECT_EQ(multilineText(7, 3), " line 7 - line 9");
    EXPECT_STREQ(kOverflowText, "    Etc (too many messages for the Lines Viewer)");
}

TEST(LinesViewerTexts, LineNumberIsReadAfterTheSixthCharacter) {
    struct Case {
        const char* text;
        std::int64_t line;
    } cases[] = {
        {" line 12: x: y", 12}, {" line 7 ", 7}, {" line 7 - line 9", 7}, {" line 3", 3},
        {"     File:  a      Path:  /", 0}, {"    Etc (too many messages for the Lines Viewer)", 0},
        {" line ", 0}, {"", 0}, {" line 99999999999: x", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(entryLineNumber(c.text), c.line) << c.text;
}

TEST(LinesViewerContent, LongLinesAreCutForDisplayButKeptWhole) {
    LinesViewerContent content;
    content.start(0, "/d", "f");
    std::string line(3000, 'x');
    FoundLine* e = content.addLine(5, line, true);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->displayText.size(), kMaxDisplayText);
    EXPECT_EQ(e->displayText.substr(0, 9), " line 5: ");
    EXPECT_EQ(e->fullText, " line 5: " + line);
    EXPECT_TRUE(content.addLine(6, "y", false)->fullText.empty());
}

TEST(LinesViewerContent, OverflowEntryClosesTheListAtIndex5001) {
    LinesViewerContent content;
    content.start(3, "/d", "f");
    EXPECT_EQ(content.browsedFullName, "/d/f");
    for (int i = 1; i <= 5000; ++i) ASSERT_NE(content.addLine(i, "x", false), nullptr);
    EXPECT_FALSE(content.full());
    EXPECT_EQ(content.addLine(5001, "x", false), nullptr);
    EXPECT_TRUE(content.full());
    EXPECT_EQ(content.addLine(5002, "x", false), nullptr);
    EXPECT_FALSE(content.addBlock(5003, 2));
    ASSERT_EQ(content.count(), kOverflowIndex + 1);
    EXPECT_EQ(content.entry(kOverflowIndex).kind, FoundLineKind::Overflow);
    EXPECT_EQ(content.entry(kOverflowIndex).displayText, kOverflowText);
    EXPECT_FALSE(content.isLineEntry(0));
    EXPECT_TRUE(content.isLineEntry(5000));
    EXPECT_FALSE(content.isLineEntry(5001));
    EXPECT_EQ(content.lineNumberAt(5000), 5000);
}

}  // namespace
}  // namespace vsr::engine
