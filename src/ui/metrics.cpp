#include "ui/metrics.h"

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

}  // namespace vsr::ui
