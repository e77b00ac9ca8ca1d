#include "ui/common/metrics.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>

namespace vsr::ui {

int screenDotsPerInch() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const int dpi = static_cast<int>(screen->logicalDotsPerInchY() + 0.5);
        if (dpi > 0) return dpi;
    }
    return 96;
}

double fontScale(const QFont& font, int dotsPerInch) {
    // A font given in pixels has as many points as those pixels make on this screen.
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0) points = font.pixelSize() * 72.0 / std::max(dotsPerInch, 1);
    return points > 0 ? points / kDesignedFontPoints : 1.0;
}

}  // namespace vsr::ui
