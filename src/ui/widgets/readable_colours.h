#pragma once
#include <QColor>

class QPalette;

namespace vsr::ui {

// The contrast ratio of two colours as the web's accessibility guidelines define it: the
// relative luminances of the lighter and the darker colour, each plus 0.05, divided. 1 for
// equal colours, 21 for black on white.
double contrastRatio(const QColor& a, const QColor& b);

// The least change of `wanted` that reads against `background` with at least `ratio`: its hue
// and saturation kept, its lightness moved just as far as needed. Where no lightness of that
// hue reaches the ratio, the one that comes closest.
QColor readableOn(const QColor& wanted, const QColor& background, double ratio = 4.5);

// The Lines Viewer's marking colours for one palette: found text in blue (yellow on the
// selected entry), the interval mark in red, and in a preview inserted text green and removed
// text red; each made readable against the background it is drawn on.
struct HighlightColours {
    QColor found, foundSelected;
    QColor mark, markSelected;
    QColor inserted, insertedSelected;
    QColor removed, removedSelected;
};

// Entries are drawn on the palette's base colour, preview lines on its alternate base, and the
// selected entry on its highlight colour.
HighlightColours highlightColours(const QPalette& palette);

// Text must keep at least this contrast against what it is drawn on.
inline constexpr double kMinimumTextContrast = 4.5;

}  // namespace vsr::ui
