#pragma once
#include <algorithm>
#include <cmath>

class QFont;

namespace vsr::ui {

// The window's sizes are designed for text of this size.
inline constexpr double kDesignedFontPoints = 9.0;

// Pixel sizes of the window are designed at 96 dots per inch for a 9 point font; every one of
// them goes through this scale, so the window keeps its proportions on denser screens and
// with a larger desktop font.
class Metrics {
public:
    // `fontScale` is the desktop font's size over the designed one; a smaller font keeps the
    // designed sizes, which it fits.
    explicit Metrics(int dotsPerInch = 96, double fontScale = 1.0)
        : dpi_(dotsPerInch > 0 ? dotsPerInch : 96),
          unit_(std::max(dpi_ * kSteps, static_cast<int>(std::lround(dpi_ * kSteps * fontScale)))) {}
    // Integer arithmetic, as the stored sizes are: value × dpi / 96, grown with the font.
    int s(int px96) const { return px96 * unit_ / (96 * kSteps); }
    int dpi() const { return dpi_; }

private:
    // The font's part of the scale is kept to a sixteenth of a dot per inch.
    static constexpr int kSteps = 16;
    int dpi_;
    int unit_;
};

// The screen's logical dots per inch (96 when there is no screen yet).
int screenDotsPerInch();

// How much larger than the designed 9 points `font` is on a screen of `dotsPerInch`.
double fontScale(const QFont& font, int dotsPerInch);

// Sizes at 96 dots per inch.
namespace px {
inline constexpr int kPanel1Height = 77;
inline constexpr int kMinWindowWidth = 646;
// The original heights count a title bar, borders and the menu strip: 248 − 77 − 126.
// Our window height is its client area below the title bar, so this is subtracted and
// the menu bar's own height is added back.
inline constexpr int kFrameAllowance = 45;
inline constexpr int kStatusBarHeight = 17;
inline constexpr int kSplitterWidth = 2;
inline constexpr int kMinListHeight = 40;
inline constexpr int kStartListHeight = 24;

inline constexpr int kFindOneLineWindow = 248;
inline constexpr int kFindMultiLineWindow = 284;
inline constexpr int kFindOneLineListMin = 265;
inline constexpr int kFindMultiLineListMin = 301;
inline constexpr int kSearchReplaceWindow = 323;
inline constexpr int kOptionsWindow = 423;

inline constexpr int kFindOneLinePage = 126;
inline constexpr int kFindMultiLinePage = 162;
inline constexpr int kSearchReplacePage = 201;
inline constexpr int kOptionsPage = 301;

inline constexpr int kFindOneLineButtonsTop = 65;
inline constexpr int kFindMultiLineButtonsTop = 101;

inline constexpr int kStatusPanel0 = 120;
inline constexpr int kStatusPanel1 = 360;
inline constexpr int kStatusPanel2 = 120;
}  // namespace px

}  // namespace vsr::ui
