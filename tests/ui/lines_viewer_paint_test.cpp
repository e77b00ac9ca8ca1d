#include <QApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/lines/lines_viewer.h"
#include "ui/lines/lines_viewer_text.h"

namespace vsr::ui {
namespace {

engine::FoundLine line(std::string text, std::vector<engine::Highlight> highlights = {}) {
    engine::FoundLine e;
    e.displayText = std::move(text);
    e.highlights = std::move(highlights);
    return e;
}

TEST(LinesViewerText, LinesAreReadInTheChosenEncodingWithHighlightsOnTheirCharacters) {
    using platform::CodePageId;
    struct Case {
        std::string bytes;
        std::vector<engine::Highlight> highlights;
        CodePageId page;
        QString text;
        std::vector<std::pair<int, int>> expected;
    } cases[] = {
        {"a\tb\x01", {{2, 1}}, CodePageId::Windows1252, QStringLiteral("a b "), {{2, 1}}},
        {"caf\xC3\xA9 bar", {{6, 3}}, CodePageId::Utf8, QString::fromUtf8("café bar"), {{5, 3}}},
        {"\xC3\xA9t\xC3\xA9", {{0, 5}}, CodePageId::Utf8, QString::fromUtf8("été"), {{0, 3}}},
        // A line the 1024-byte limit cut inside its last character shows without it; a shorter
        // line ending in a lone byte (a Latin-1 "é") shows that byte.
        {std::string(1022, 'x') + "\xE2\x82", {{0, 1}}, CodePageId::Utf8, QString(1022, QLatin1Char('x')), {{0, 1}}},
        {"caf\xE9", {{3, 1}}, CodePageId::Utf8, QString::fromUtf8("café"), {{3, 1}}},
        // A stray byte among UTF-8 shows as its Windows-1252 character; the rest stays UTF-8.
        {"\x80 caf\xE9 \xD0\xB6", {{2, 4}, {7, 2}}, CodePageId::Utf8, QString::fromUtf8("€ café ж"), {{2, 4}, {7, 1}}},
        {"\x80 caf\xE9", {{2, 4}}, CodePageId::Windows1252, QString::fromUtf8("€ café"), {{2, 4}}},
        {"\xE9t\xE9", {{1, 1}}, CodePageId::Iso8859_1, QString::fromUtf8("été"), {{1, 1}}},
        // Under 1251 the same bytes are Cyrillic, and UTF-8 bytes are read as the page's characters.
        {"\xF1\xEB\xEE\xE2\xEE \xD7", {{0, 5}}, CodePageId::Windows1251, QString::fromUtf8("слово Ч"), {{0, 5}}},
        {"\xC3\xA9", {{0, 2}}, CodePageId::Windows1251, QString::fromUtf8("Г©"), {{0, 2}}},
        {"\xD0\xA1\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE", {{2, 6}}, CodePageId::Utf8, QString::fromUtf8("Слово"), {{1, 3}}},
    };
    for (const Case& c : cases) {
        DisplayEntry d = displayEntry(line(c.bytes, c.highlights), c.page);
        EXPECT_EQ(d.text, c.text) << c.bytes;
        EXPECT_EQ(d.highlights, c.expected) << c.bytes;
    }
    // The header names the file as the file system does, whatever the lines' encoding.
    engine::FoundLine header = line(engine::headerText("\xD1\x84.txt", "/d"));
    header.kind = engine::FoundLineKind::Header;
    EXPECT_TRUE(displayEntry(header, CodePageId::Windows1251).text.contains(QString::fromUtf8("ф.txt")));
}

// Columns of the image where the colour is mostly `colour`.
std::pair<int, int> columnsOf(const QImage& image, auto isColour) {
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (isColour(image.pixelColor(x, y))) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

bool blue(const QColor& c) { return c.blue() > 150 && c.red() < 100 && c.green() < 100; }
bool red(const QColor& c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; }
bool dark(const QColor& c) { return c.red() < 110 && c.green() < 110 && c.blue() < 110; }
// Pixels of about `colour` (text is smoothed at its edges).
auto near(const QColor& colour) {
    return [colour](const QColor& c) {
        return std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 &&
               std::abs(c.blue() - colour.blue()) < 40;
    };
}

struct PaintFixture : ::testing::Test {
    LinesViewer viewer;
    QImage image{600, 16, QImage::Format_RGB32};

    PaintFixture() {
        viewer.resize(600, 200);
        viewer.content().start(0, "/d", "f.txt");
    }
    void paint(int index, bool selected) {
        image.fill(Qt::white);
        QPainter p(&image);
        viewer.paintEntry(p, index, QRect(0, 0, image.width(), image.height()), 0, selected);
    }
    // Where the text before `chars` characters of entry `index` ends, as the viewer places it.
    int xAfter(int index, int chars) {
        return viewer.textLeft() + viewer.fontMetrics().horizontalAdvance(viewer.displayed(index).text.left(chars));
    }
};

TEST_F(PaintFixture, HighlightLandsOnTheMatchedCharacters) {
    engine::FoundLine* e = viewer.content().addLine(3, "xxxx MATCH yyyy", false);
    e->highlights.push_back({9 + 5, 5});
    viewer.contentChanged();
    paint(1, false);
    auto [first, last] = columnsOf(image, blue);
    ASSERT_GE(first, 0) << "no blue found";
    EXPECT_GE(first, xAfter(1, 14) - 1);
    EXPECT_LE(last, xAfter(1, 19) + 1);
    EXPECT_GT(last - first, (xAfter(1, 19) - xAfter(1, 14)) / 2);
    paint(1, true);
    // On the selected entry the found text takes the selected entry's found colour.
    auto [yFirst, yLast] = columnsOf(image, near(viewer.highlightColours().foundSelected));
    EXPECT_GE(yFirst, xAfter(1, 14) - 1);
    EXPECT_LE(yLast, xAfter(1, 19) + 1);
    EXPECT_EQ(columnsOf(image, blue).first, -1);
}

TEST_F(PaintFixture, BlockEntriesAreBlueWholeAndHeadersNot) {
    viewer.content().addBlock(4, 2);
    viewer.contentChanged();
    paint(1, false);
    auto [first, last] = columnsOf(image, blue);
    EXPECT_LE(first, xAfter(1, 2));
    EXPECT_GE(last, xAfter(1, viewer.displayed(1).text.size()) - 3);
    paint(0, false);
    EXPECT_EQ(columnsOf(image, blue).first, -1);
}

TEST_F(PaintFixture, PlusMarksOnlyLinesInsideTheInterval) {
    viewer.content().addLine(3, "in", false);
    viewer.content().addLine(9, "out", false);
    viewer.contentChanged();
    std::optional<results::ModificationInterval> interval = results::ModificationInterval{1, 5};
    viewer.markedInterval = [&] { return interval; };
    for (bool selected : {false, true}) {
        paint(1, selected);
        // The mark has its own room: no letter of " line 3: in" starts before it ends.
        const HighlightColours& colours = viewer.highlightColours();
        const auto [markFirst, markLast] = columnsOf(image, near(selected ? colours.markSelected : colours.mark));
        EXPECT_GE(markFirst, 0);
        EXPECT_LT(markLast, viewer.textLeft());
        EXPECT_LT(markLast, xAfter(1, 1));
    }
    paint(1, false);
    EXPECT_GT(columnsOf(image, dark).first, columnsOf(image, red).second);
    paint(2, false);
    EXPECT_EQ(columnsOf(image, red).first, -1);
    paint(0, false);
    EXPECT_EQ(columnsOf(image, red).first, -1);
    interval.reset();
    paint(1, false);
    EXPECT_EQ(columnsOf(image, red).first, -1);
}

TEST_F(PaintFixture, ExtentGrowsToTheWidestTextAndClearingResetsIt) {
    viewer.content().addLine(1, "short", false);
    viewer.contentChanged();
    const int small = viewer.extent();
    viewer.content().addLine(2, std::string(300, 'w'), false);
    viewer.contentChanged();
    EXPECT_GT(viewer.extent(), small);
    EXPECT_GE(viewer.extent(), viewer.fontMetrics().horizontalAdvance(viewer.displayed(2).text));
    viewer.setCurrentIndex(2);
    viewer.clear();
    EXPECT_FALSE(viewer.hasLines());
    EXPECT_EQ(viewer.currentIndex(), -1);
    viewer.contentChanged();
    EXPECT_EQ(viewer.extent(), 0);
}

TEST(LinesViewerRows, ItemHeightFollowsTheScreen) {
    LinesViewer viewer;
    QFont small = viewer.font();
    small.setPixelSize(11);
    viewer.setFont(small);
    viewer.setDotsPerInch(96);
    EXPECT_EQ(viewer.rowHeight(), 16);
    viewer.setDotsPerInch(120);
    EXPECT_EQ(viewer.rowHeight(), 17);
}

}  // namespace
}  // namespace vsr::ui
