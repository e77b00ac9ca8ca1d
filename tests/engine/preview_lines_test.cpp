#include <gtest/gtest.h>

#include "engine/modify/preview_lines.h"

namespace vsr::engine {
namespace {

PreviewMark ins(int offset, int length) { return {offset, length, true}; }
PreviewMark del(int offset, int length) { return {offset, length, false}; }

TEST(PreviewLine, WordsReplacedInsertedAndRemoved) {
    // A replaced word: the old one struck, the new one after it.
    EXPECT_EQ(previewLine("static int x;", "static long x;"),
              (PreviewLine{"static intlong x;", {del(7, 3), ins(10, 4)}}));
    EXPECT_EQ(previewLine("a b", "a new b"), (PreviewLine{"a new b", {ins(2, 4)}}));
    EXPECT_EQ(previewLine("keep gone", "keep "), (PreviewLine{"keep gone", {del(5, 4)}}));
    EXPECT_EQ(previewLine("same", "same"), (PreviewLine{"same", {}}));
    // Cut to the display limit with its marks.
    const PreviewLine longLine = previewLine(std::string(1100, 'x'), std::string(1100, 'y'));
    EXPECT_EQ(longLine.text.size(), kMaxDisplayText);
    ASSERT_EQ(longLine.marks.size(), 1u);
    EXPECT_EQ(longLine.marks[0], del(0, 1024));
}

// The viewer as a fill leaves it: a header, then found lines or blocks.
LinesViewerContent viewer(std::vector<std::int64_t> lines, std::size_t block = 0) {
    LinesViewerContent c;
    c.start(0, "/d", "f");
    for (std::int64_t n : lines) {
        if (block) c.addBlock(n, block);
        else c.addLine(n, "text", false);
    }
    return c;
}

TEST(PreviewLines, ChangedLinesUnderTheirEntriesAndTheCount) {
    const LinesViewerContent c = viewer({1, 3});
    const LinesPreview p = previewLines(c, "a x\nb\nc x\r\nd", "a y\nb\nc x\nd");
    ASSERT_EQ(p.under.size(), 3u);
    EXPECT_TRUE(p.under[0].empty());  // the header
    EXPECT_EQ(p.under[1], (std::vector<PreviewLine>{{"a xy", {del(2, 1), ins(3, 1)}}}));
    // A line whose only change is its line end says so at its end.
    EXPECT_EQ(p.under[2], (std::vector<PreviewLine>{{"c x <CR LF><LF>", {del(4, 7), ins(11, 4)}}}));
    EXPECT_EQ(p.changedLines, 2u);
}

// Line ends as Modify rewrites them: every end becomes the separator, a last line keeps having
// or lacking one; each kind of change is named, a line and its end can change together, and a
// line that keeps its end is not marked.
TEST(PreviewLines, ChangedLineEndsAreMarked) {
    EXPECT_EQ(previewLineWithEnds("x\r", "x\r\n"), (PreviewLine{"x <CR><CR LF>", {del(2, 4), ins(6, 7)}}));
    EXPECT_EQ(previewLineWithEnds("x", "x\n"), (PreviewLine{"x <no line end><LF>", {del(2, 13), ins(15, 4)}}));
    EXPECT_EQ(previewLineWithEnds("a x\r\n", "a y\n"),
              (PreviewLine{"a xy <CR LF><LF>", {del(2, 1), ins(3, 1), del(5, 7), ins(12, 4)}}));
    EXPECT_EQ(previewLineWithEnds("same\r\n", "same\r\n"), (PreviewLine{"same", {}}));

    // A whole file turned from CR LF to LF: each shown line is marked, the last (no end) is not.
    const LinesViewerContent c = viewer({1, 2, 3});
    const LinesPreview p = previewLines(c, "a\r\nb\r\nc", "a\nb\nc");
    EXPECT_EQ(p.under[1], (std::vector<PreviewLine>{{"a <CR LF><LF>", {del(2, 7), ins(9, 4)}}}));
    EXPECT_EQ(p.under[2], (std::vector<PreviewLine>{{"b <CR LF><LF>", {del(2, 7), ins(9, 4)}}}));
    EXPECT_EQ(p.under[3], (std::vector<PreviewLine>{{"c", {}}}));
    EXPECT_EQ(p.changedLines, 2u);
}

TEST(PreviewLines, BlocksGainAndLoseLines) {
    // Lines 2-3 replaced by three lines; line 5 removed; two lines inserted before line 7.
    const std::string before = "1\nq1\nq2\n4\nq1\n6\nq2\n8\n";
    const std::string after = "1\nr1\nr2\nr3\n4\n6\nn1\nn2\nq2\n8\n";
    LinesViewerContent c = viewer({2, 5, 7});
    const LinesPreview p = previewLines(c, before, after);
    EXPECT_EQ(p.under[1], (std::vector<PreviewLine>{{"q1r1", {del(0, 2), ins(2, 2)}}}));
    EXPECT_EQ(p.under[2], (std::vector<PreviewLine>{{"q1", {del(0, 2)}}}));
    EXPECT_EQ(p.under[3], (std::vector<PreviewLine>{{"n1", {ins(0, 2)}}, {"n2", {ins(0, 2)}}, {"q2", {}}}));
    EXPECT_EQ(p.changedLines, 3u + 1u + 2u);

    // Shown as one block entry, lines 2-3 show every new line.
    LinesViewerContent blocks = viewer({2}, 2);
    const LinesPreview q = previewLines(blocks, before, after);
    ASSERT_EQ(q.under[1].size(), 3u);
    EXPECT_EQ(q.under[1][1], (PreviewLine{"q2r2", {del(0, 2), ins(2, 2)}}));
    EXPECT_EQ(q.under[1][2], (PreviewLine{"r3", {ins(0, 2)}}));
}

TEST(PreviewLines, TextAfterANulByteIsNotLines) {
    const LinesViewerContent c = viewer({1});
    const LinesPreview p = previewLines(c, std::string("a\n\0x\ny", 6), std::string("b\n\0x\ny", 6));
    EXPECT_EQ(p.under[1], (std::vector<PreviewLine>{{"ab", {del(0, 1), ins(1, 1)}}}));
    EXPECT_EQ(p.changedLines, 1u);
}

}  // namespace
}  // namespace vsr::engine
