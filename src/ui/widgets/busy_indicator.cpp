#include "ui/widgets/busy_indicator.h"

#include <QPainter>
#include <QtMath>

namespace vsr::ui {

namespace {
constexpr int kDots = 8;
}

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent) {
    timer_.setInterval(90);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % kDots;
        update();
    });
}

void BusyIndicator::start() {
    if (!timer_.isActive()) timer_.start();
    update();
}

void BusyIndicator::stop() {
    timer_.stop();
    frame_ = 0;
    update();
}

QSize BusyIndicator::sizeHint() const { return {32, 32}; }

void BusyIndicator::paintEvent(QPaintEvent*) {
    // At rest nothing is drawn: faint dots would still read as work in progress.
    if (!timer_.isActive()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height());
    const QPointF centre(width() / 2.0, height() / 2.0);
    const qreal ring = side * 0.34;
    const qreal dot = side * 0.09;
    const QColor accent = palette().color(QPalette::Highlight);
    for (int i = 0; i < kDots; ++i) {
        const qreal angle = 2 * M_PI * i / kDots - M_PI / 2;
        const QPointF at(centre.x() + ring * qCos(angle), centre.y() + ring * qSin(angle));
        // The dots behind the bright one fade, which gives the ring its sense of motion.
        const int behind = (frame_ - i + kDots) % kDots;
        QColor c = accent;
        c.setAlphaF(behind == 0 ? 1.0 : qMax(0.15, 1.0 - behind * 0.2));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(at, dot, dot);
    }
}

}  // namespace vsr::ui
