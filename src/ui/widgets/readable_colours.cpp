#include "ui/widgets/readable_colours.h"

#include <QPalette>
#include <algorithm>
#include <cmath>

namespace vsr::ui {

namespace {

double linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
    const QColor c = colour.toRgb();
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

// The colour as the screen gets it: eight bits a channel, opaque, so the ratio is measured on
// what is drawn.
QColor opaque8(const QColor& colour) {
    const QColor c = colour.toRgb();
    return QColor(c.red(), c.green(), c.blue());
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& wanted, const QColor& background, double ratio) {
    const QColor start = opaque8(wanted);
    if (contrastRatio(start, background) >= ratio) return start;
    const QColor hsl = start.toHsl();
    const double hue = std::max(0.0, double(hsl.hslHueF()));
    const double saturation = hsl.hslSaturationF();
    const double lightness = hsl.lightnessF();
    // Lightness in steps finer than a channel's: the first step either way that reads is the
    // least change; the way that needs fewer steps wins.
    constexpr int kSteps = 1000;
    const int from = int(std::lround(lightness * kSteps));
    QColor best = start;
    double bestRatio = contrastRatio(start, background);
    for (int step = 1; step <= kSteps; ++step) {
        for (int direction : {-1, 1}) {
            const int l = from + direction * step;
            if (l < 0 || l > kSteps) continue;
            const QColor candidate = opaque8(QColor::fromHslF(float(hue), float(saturation), float(l) / kSteps));
            const double r = contrastRatio(candidate, background);
            if (r >= ratio) return candidate;
            if (r > bestRatio) {
                best = candidate;
                bestRatio = r;
            }
        }
    }
    return best;
}

HighlightColours highlightColours(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const QColor alternate = palette.color(QPalette::Active, QPalette::AlternateBase);
    const QColor selected = palette.color(QPalette::Active, QPalette::Highlight);
    const double r = kMinimumTextContrast;
    HighlightColours c;
    c.found = readableOn(QColor(0, 0, 255), base, r);
    c.foundSelected = readableOn(QColor(255, 255, 0), selected, r);
    c.mark = readableOn(QColor(255, 0, 0), base, r);
    c.markSelected = readableOn(QColor(255, 0, 0), selected, r);
    c.inserted = readableOn(QColor(0, 128, 0), alternate, r);
    c.insertedSelected = readableOn(QColor(0, 255, 0), selected, r);
    c.removed = readableOn(QColor(255, 0, 0), alternate, r);
    c.removedSelected = readableOn(QColor(255, 160, 160), selected, r);
    return c;
}

}  // namespace vsr::ui
