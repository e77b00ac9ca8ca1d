// Marking colours that read on light and dark palettes, measured as the accessibility
// guidelines measure contrast.
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "ui/lines/lines_viewer.h"
#include "ui/widgets/readable_colours.h"

namespace vsr::ui {
namespace {

TEST(ContrastRatio, AgreesWithTheGuidelinesReferenceValues) {
    const struct {
        QColor a, b;
        double ratio;
    } cases[] = {
        {Qt::black, Qt::white, 21.0},
        {Qt::white, Qt::white, 1.0},
        // Grey #777 is the classic just-below-4.5 example.
        {QColor(0x77, 0x77, 0x77), Qt::white, 4.48},
        {QColor(0, 0, 255), Qt::white, 8.59},
        {QColor(255, 0, 0), Qt::white, 4.0},
        {QColor(0, 128, 0), Qt::white, 5.14},
        {QColor(0, 0, 255), QColor(0x2a, 0x2a, 0x2a), 1.67},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(contrastRatio(c.a, c.b), c.ratio, 0.01) << c.a.name().toStdString() << c.b.name().toStdString();
        EXPECT_DOUBLE_EQ(contrastRatio(c.a, c.b), contrastRatio(c.b, c.a));
    }
}

// The strongest of the three channels tells the hue family the colour still belongs to.
enum class Hue { Blue, Green, Red, Yellow };

bool ofHue(const QColor& c, Hue hue) {
    const int r = c.red(), g = c.green(), b = c.blue();
    switch (hue) {
        case Hue::Blue: return b > r && b > g;
        case Hue::Green: return g > r && g > b;
        case Hue::Red: return r > g && r > b;
        case Hue::Yellow: return std::abs(r - g) <= 2 && std::min(r, g) > b;
    }
    return false;
}

QPalette palette(QColor base, QColor alternate, QColor highlight) {
    QPalette p;
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, alternate);
    p.setColor(QPalette::Highlight, highlight);
    return p;
}

TEST(HighlightColours, ReadOnEveryPaletteAndKeepTheirHue) {
    const struct {
        const char* name;
        QPalette palette;
        bool hueKept;  // a mid grey leaves only near-black or near-white to read on it
    } palettes[] = {
        {"light", palette(Qt::white, QColor(0xf7, 0xf7, 0xf7), QColor(0x30, 0x8c, 0xc6)), true},
        {"dark", palette(QColor(0x2a, 0x2a, 0x2a), QColor(0x42, 0x42, 0x42), QColor(0x2a, 0x82, 0xda)), true},
        {"light cyan highlight", palette(Qt::white, QColor(0xf7, 0xf7, 0xf7), QColor(0x3d, 0xae, 0xe9)), true},
        {"dark cyan highlight", palette(QColor(0x1b, 0x1e, 0x20), QColor(0x23, 0x26, 0x29), QColor(0x3d, 0xae, 0xe9)),
         true},
        {"navy highlight", palette(Qt::white, QColor(0xff, 0xff, 0xe1), QColor(0, 0, 0x80)), true},
        {"dark navy highlight", palette(QColor(0x2d, 0x2d, 0x2d), QColor(0x35, 0x35, 0x35), QColor(0x15, 0x53, 0x9e)),
         true},
        {"black", palette(Qt::black, Qt::black, QColor(0x1a, 0xeb, 0xff)), true},
        {"warm light", palette(QColor(0xfd, 0xf6, 0xe3), QColor(0xee, 0xe8, 0xd5), QColor(0x26, 0x8b, 0xd2)), true},
        {"teal dark", palette(QColor(0x00, 0x2b, 0x36), QColor(0x07, 0x36, 0x42), QColor(0x26, 0x8b, 0xd2)), true},
        {"pale highlight", palette(Qt::white, Qt::white, QColor(0xcc, 0xe8, 0xff)), true},
        {"mid grey", palette(QColor(0x77, 0x77, 0x77), QColor(0x80, 0x80, 0x80), QColor(0x70, 0x70, 0x90)), false},
    };
    for (const auto& t : palettes) {
        SCOPED_TRACE(t.name);
        const HighlightColours c = highlightColours(t.palette);
        const QColor base = t.palette.color(QPalette::Base), alternate = t.palette.color(QPalette::AlternateBase),
                     selected = t.palette.color(QPalette::Highlight);
        const struct {
            QColor colour, background;
            Hue hue;
            const char* what;
        } drawn[] = {
            {c.found, base, Hue::Blue, "found"},           {c.foundSelected, selected, Hue::Yellow, "found, selected"},
            {c.mark, base, Hue::Red, "mark"},              {c.markSelected, selected, Hue::Red, "mark, selected"},
            {c.inserted, alternate, Hue::Green, "inserted"}, {c.insertedSelected, selected, Hue::Green, "inserted, selected"},
            {c.removed, alternate, Hue::Red, "removed"},   {c.removedSelected, selected, Hue::Red, "removed, selected"},
        };
        for (const auto& d : drawn) {
            EXPECT_GE(contrastRatio(d.colour, d.background), kMinimumTextContrast)
                << d.what << " " << d.colour.name().toStdString() << " on " << d.background.name().toStdString();
            if (t.hueKept) {
                EXPECT_TRUE(ofHue(d.colour, d.hue)) << d.what << " " << d.colour.name().toStdString();
            }
        }
    }
}

TEST(HighlightColours, ClassicColoursStayWhereTheyReadAndMoveLeastWhereNot) {
    const HighlightColours light = highlightColours(palette(Qt::white, Qt::white, QColor(0, 0, 0x80)));
    EXPECT_EQ(light.found, QColor(0, 0, 255));
    EXPECT_EQ(light.inserted, QColor(0, 128, 0));
    EXPECT_EQ(light.foundSelected, QColor(255, 255, 0));
    // Red on white falls just short: it darkens only as far as it must.
    EXPECT_GE(contrastRatio(light.mark, Qt::white), 4.5);
    EXPECT_LT(contrastRatio(light.mark, Qt::white), 4.6);
    // On a dark base blue grows lighter, not darker.
    const QColor dark = highlightColours(palette(QColor(0x2a, 0x2a, 0x2a), Qt::black, Qt::black)).found;
    EXPECT_GT(dark.lightness(), QColor(0, 0, 255).lightness());
    EXPECT_LT(contrastRatio(dark, QColor(0x2a, 0x2a, 0x2a)), 4.6);
}

TEST(HighlightColours, TheViewerDrawsWithThoseOfItsPalette) {
    LinesViewer viewer;
    viewer.resize(600, 200);
    QPalette dark = viewer.palette();
    dark.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    viewer.setPalette(dark);
    viewer.content().start(0, "/d", "f.txt");
    viewer.content().addLine(3, "xxxx MMMMMMMM yyyy", false)->highlights.push_back({9 + 5, 8});
    viewer.contentChanged();
    const HighlightColours colours = highlightColours(dark);
    for (bool selected : {false, true}) {
        QImage image(600, 16, QImage::Format_RGB32);
        QPainter p(&image);
        viewer.paintEntry(p, 1, image.rect(), 0, selected);
        p.end();
        const QColor wanted = selected ? colours.foundSelected : colours.found;
        int exact = 0, classic = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor px = image.pixelColor(x, y);
                exact += px == wanted;
                classic += px == QColor(0, 0, 255) || px == QColor(255, 255, 0);
            }
        EXPECT_GT(exact, 0) << selected;
        EXPECT_EQ(classic, 0) << selected;
    }
}

}  // namespace
}  // namespace vsr::ui
