#include "ui/widgets/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace vsr::ui {

namespace {

// A frame's two side borders at most, at 96 dots per inch; its height is px::kFrameAllowance.
constexpr int kFrameSidesAllowance = 8;

// One axis: the length within [minimum, room] (the minimum first), the start moved into the room.
void fitAxis(long long wantedStart, long long wantedLength, long long roomStart, long long room, long long minimum,
             int& start, int& length) {
    long long len = std::min(wantedLength, room);
    len = std::max(len, std::max(minimum, 1LL));
    long long at = wantedStart;
    // Past the far edge first, so that a rectangle larger than the room starts at its near edge.
    if (at + len > roomStart + room) at = roomStart + room - len;
    if (at < roomStart) at = roomStart;
    start = static_cast<int>(at);
    length = static_cast<int>(len);
}

}  // namespace

QRect fitToScreen(const QPoint& at, const QSize& size, const QRect& area, const QSize& minimum) {
    int x = 0, y = 0, w = 0, h = 0;
    // 64-bit sums: stored values near the int limits must not wrap around.
    fitAxis(at.x(), size.width(), area.x(), area.width(), minimum.width(), x, w);
    fitAxis(at.y(), size.height(), area.y(), area.height(), minimum.height(), y, h);
    return {x, y, w, h};
}

QRect screenAreaAt(const QPoint& point) {
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
}

QRect windowRoomAt(const QPoint& point, const Metrics& metrics) {
    return screenAreaAt(point).adjusted(0, 0, -metrics.s(kFrameSidesAllowance), -metrics.s(px::kFrameAllowance));
}

}  // namespace vsr::ui
