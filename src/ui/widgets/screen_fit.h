#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>

#include "ui/common/metrics.h"

class QWidget;

namespace vsr::ui {

// A stored size and position brought onto the screen: the size no larger than the area (and
// no smaller than `minimum`, which wins where the area is smaller still), the position moved
// so that the whole rectangle lies inside the area. Stored values come from other screens,
// other scale factors and hand-edited files, so none of them is trusted as it is.
QRect fitToScreen(const QPoint& at, const QSize& size, const QRect& area, const QSize& minimum = QSize(0, 0));

// The work area of the screen that holds `point` (the primary screen when none does);
// a 1920 × 1080 area when there is no screen at all.
QRect screenAreaAt(const QPoint& point);

// The room a window's own area may take on that screen: the work area less what a frame
// (title bar and borders) adds around it, so that the framed window stays inside too.
QRect windowRoomAt(const QPoint& point, const Metrics& metrics);

}  // namespace vsr::ui
