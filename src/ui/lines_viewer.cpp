#include "ui/lines_viewer.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace vsr::ui {

namespace {
// Room for the interval mark in front of every line.
constexpr int kMarkColumn = 12;
}

LinesViewer::LinesViewer(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    updateScrollBars();
}

int LinesViewer::rowHeight() const { return fontMetrics().height() + 2; }

void LinesViewer::clear() {
    entries_.clear();
    current_ = -1;
    widest_ = 0;
    updateScrollBars();
    viewport()->update();
}

void LinesViewer::setEntries(std::vector<ViewerEntry> entries) {
    entries_ = std::move(entries);
    current_ = -1;
    widest_ = 0;
    const QFontMetrics fm = fontMetrics();
    for (const ViewerEntry& e : entries_) widest_ = std::max(widest_, fm.horizontalAdvance(e.text));
    updateScrollBars();
    viewport()->update();
}

void LinesViewer::setCurrentIndex(int index) {
    if (index < -1 || index >= count()) index = -1;
    if (index == current_) return;
    current_ = index;
    ensureVisible(index);
    viewport()->update();
    emit currentChanged(index);
}

void LinesViewer::updateScrollBars() {
    const int rows = std::max(1, viewport()->height() / std::max(1, rowHeight()));
    verticalScrollBar()->setPageStep(rows);
    verticalScrollBar()->setRange(0, std::max(0, count() - rows));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 4);
    horizontalScrollBar()->setRange(0, std::max(0, widest_ + kMarkColumn + 8 - viewport()->width()));
}

int LinesViewer::indexAt(int y) const {
    const int index = verticalScrollBar()->value() + y / std::max(1, rowHeight());
    return index < count() ? index : -1;
}

void LinesViewer::ensureVisible(int index) {
    if (index < 0) return;
    QScrollBar* bar = verticalScrollBar();
    if (index < bar->value()) bar->setValue(index);
    else if (index >= bar->value() + bar->pageStep()) bar->setValue(index - bar->pageStep() + 1);
}

void LinesViewer::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QFontMetrics fm = fontMetrics();
    const int h = rowHeight();
    const int first = verticalScrollBar()->value();
    const int dx = horizontalScrollBar()->value();
    const QPalette& pal = palette();
    for (int i = first, y = 0; i < count() && y < viewport()->height(); ++i, y += h) {
        const ViewerEntry& e = entries_[i];
        const bool current = i == current_;
        if (current) p.fillRect(0, y, viewport()->width(), h, pal.color(QPalette::Highlight));
        const int baseline = y + 1 + fm.ascent();
        if (e.marked) {
            p.setPen(current ? pal.color(QPalette::HighlightedText) : QColor(Qt::red));
            p.drawText(2 - dx, baseline, QStringLiteral("+"));
        }
        const int x0 = kMarkColumn - dx;
        p.setPen(pal.color(current ? QPalette::HighlightedText : QPalette::Text));
        p.drawText(x0, baseline, e.text);
        // Found stretches are drawn again over the line in blue, so a highlight never moves text.
        for (auto [offset, length] : e.highlights) {
            if (offset < 0 || length <= 0 || offset >= e.text.size()) continue;
            const QString part = e.text.mid(offset, length);
            const int x = x0 + fm.horizontalAdvance(e.text.left(offset));
            const int w = fm.horizontalAdvance(part);
            p.fillRect(x, y, w, h, current ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
            p.setPen(current ? pal.color(QPalette::HighlightedText) : QColor(Qt::blue));
            p.drawText(x, baseline, part);
        }
    }
}

void LinesViewer::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void LinesViewer::mousePressEvent(QMouseEvent* event) {
    const int index = indexAt(event->position().toPoint().y());
    if (index >= 0) setCurrentIndex(index);
    QAbstractScrollArea::mousePressEvent(event);
}

void LinesViewer::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = indexAt(event->position().toPoint().y());
    if (index >= 0) emit entryActivated(index);
}

void LinesViewer::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up: setCurrentIndex(std::max(0, current_ - 1)); break;
    case Qt::Key_Down: setCurrentIndex(std::min(count() - 1, current_ + 1)); break;
    case Qt::Key_PageUp: setCurrentIndex(std::max(0, current_ - verticalScrollBar()->pageStep())); break;
    case Qt::Key_PageDown:
        setCurrentIndex(std::min(count() - 1, current_ + verticalScrollBar()->pageStep()));
        break;
    case Qt::Key_Home: setCurrentIndex(count() > 0 ? 0 : -1); break;
    case Qt::Key_End: setCurrentIndex(count() - 1); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
}

}  // namespace vsr::ui
