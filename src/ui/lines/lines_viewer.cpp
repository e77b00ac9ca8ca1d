#include "ui/lines/lines_viewer.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "engine/viewer/lines_viewer_intervals.h"
#include "ui/lines/lines_viewer_accessible.h"
#include "ui/widgets/readable_colours.h"

namespace vsr::ui {

namespace {
// The red "+" of a marked line stands this far into the item, in a room of its own before the
// text, so it never covers a letter.
constexpr int kMarkLeft = 1;
constexpr int kMarkGap = 2;

bool boldKind(engine::FoundLineKind k) {
    return k == engine::FoundLineKind::Header || k == engine::FoundLineKind::Overflow;
}
}  // namespace

LinesViewer::LinesViewer(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    installLinesViewerAccessibility();
    setAccessibleName(QStringLiteral("Lines Viewer"));
    updateScrollBars();
}

int LinesViewer::rowHeight() const {
    const int designed = dpi_ > 96 ? 17 : 16;
    return std::max(designed, fontMetrics().height() + 1);
}

int LinesViewer::textLeft() const {
    QFont bold = font();
    bold.setBold(true);
    return kMarkLeft + QFontMetrics(bold).horizontalAdvance(QLatin1Char('+')) + kMarkGap;
}

void LinesViewer::setDotsPerInch(int dpi) {
    dpi_ = dpi > 0 ? dpi : 96;
    updateScrollBars();
    viewport()->update();
}

void LinesViewer::setTextEncoding(platform::CodePageId page) {
    if (page == textEncoding_) return;
    textEncoding_ = page;
    cached_.assign(cached_.size(), false);
    viewport()->update();
}

void LinesViewer::clear() {
    content_.clear();
    syncGeneration();
    viewport()->update();
    announceEntries();
}

void LinesViewer::syncGeneration() {
    // A preview belongs to the entries it was made for.
    if (!rows_.empty() && previewRevision_ != content_.revision()) clearPreview();
    if (generation_ == content_.generation()) return;
    generation_ = content_.generation();
    if (accessible_) accessible_->dropStaleItems();
    cache_.clear();
    cached_.clear();
    measured_ = 0;
    widest_ = 0;
    current_ = -1;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    updateScrollBars();
}

void LinesViewer::contentChanged() {
    syncGeneration();
    const std::size_t n = content_.count();
    // The last entry may still gain highlights while a fill runs: it is measured once final.
    const std::size_t final = content_.filling() && n > 0 ? n - 1 : n;
    if (final > measured_) {
        const QFontMetrics normal = fontMetrics();
        QFont bold = font();
        bold.setBold(true);
        const QFontMetrics strong(bold);
        for (std::size_t i = measured_; i < final; ++i) {
            const engine::FoundLine& e = content_.entry(i);
            const QFontMetrics& fm = boldKind(e.kind) ? strong : normal;
            widest_ = std::max(widest_, fm.horizontalAdvance(displayed(static_cast<int>(i)).text) +
                                            fm.averageCharWidth());
        }
        measured_ = final;
    }
    if (current_ >= count()) current_ = -1;
    updateScrollBars();
    viewport()->update();
    announceEntries();
}

void LinesViewer::setPreview(std::vector<std::vector<engine::PreviewLine>> under) {
    syncGeneration();
    preview_.assign(content_.count(), {});
    rows_.clear();
    firstRow_.assign(content_.count(), 0);
    const QFontMetrics fm = fontMetrics();
    for (std::size_t i = 0; i < content_.count(); ++i) {
        firstRow_[i] = static_cast<int>(rows_.size());
        rows_.emplace_back(static_cast<int>(i), -1);
        if (i >= under.size()) continue;
        for (const engine::PreviewLine& line : under[i]) {
            engine::FoundLine inserted, removed;
            inserted.displayText = removed.displayText = line.text;
            for (const engine::PreviewMark& m : line.marks)
                (m.inserted ? inserted : removed).highlights.push_back({m.offset, m.length});
            PreviewDisplay d;
            DisplayEntry a = displayEntry(inserted, textEncoding_);
            d.text = a.text;
            d.inserted = std::move(a.highlights);
            d.removed = displayEntry(removed, textEncoding_).highlights;
            widest_ = std::max(widest_, previewLeft(static_cast<int>(i)) - textLeft() + fm.horizontalAdvance(d.text) +
                                            fm.averageCharWidth());
            rows_.emplace_back(static_cast<int>(i), static_cast<int>(preview_[i].size()));
            preview_[i].push_back(std::move(d));
        }
    }
    previewRevision_ = content_.revision();
    updateScrollBars();
    viewport()->update();
}

void LinesViewer::clearPreview() {
    if (rows_.empty() && preview_.empty()) return;
    preview_.clear();
    rows_.clear();
    firstRow_.clear();
    updateScrollBars();
    viewport()->update();
}

std::pair<int, int> LinesViewer::rowAt(int row) const {
    if (rows_.empty()) return {row, -1};
    if (row < 0 || row >= static_cast<int>(rows_.size())) return {-1, -1};
    return rows_[static_cast<std::size_t>(row)];
}

int LinesViewer::rowOfEntry(int index) const {
    if (rows_.empty() || index < 0 || index >= static_cast<int>(firstRow_.size())) return index;
    return firstRow_[static_cast<std::size_t>(index)];
}

const LinesViewer::PreviewDisplay& LinesViewer::previewDisplayed(int index, int line) const {
    return preview_.at(static_cast<std::size_t>(index)).at(static_cast<std::size_t>(line));
}

int LinesViewer::previewLeft(int index) const {
    // Under the text of the found line, right of its " line N: ".
    const engine::FoundLine& e = content_.entry(static_cast<std::size_t>(index));
    return textLeft() + fontMetrics().horizontalAdvance(QString::fromStdString(engine::foundLinePrefix(e.lineNumber)));
}

void LinesViewer::paintPreviewLine(QPainter& p, int index, int line, const QRect& rect, int scrollX, bool selected) {
    const QPalette& pal = palette();
    const QColor background = selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::AlternateBase);
    p.fillRect(rect, background);
    const PreviewDisplay& d = previewDisplayed(index, line);
    QFont f = font();
    p.setFont(f);
    const QFontMetrics fm(f);
    const int baseline = rect.top() + (rect.height() - fm.height()) / 2 + fm.ascent();
    const int x0 = rect.left() + previewLeft(index) - scrollX;
    p.setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
    p.drawText(x0, baseline, d.text);
    auto over = [&](const std::vector<std::pair<int, int>>& stretches, const QColor& colour, bool strike) {
        QFont marked = f;
        marked.setStrikeOut(strike);
        p.setFont(marked);
        for (auto [offset, length] : stretches) {
            if (offset >= d.text.size()) continue;
            const int x = x0 + fm.horizontalAdvance(d.text.left(offset));
            if (x > rect.right()) continue;
            const QString part = d.text.mid(offset, length);
            p.fillRect(QRect(x, rect.top(), fm.horizontalAdvance(part), rect.height()), background);
            p.setPen(colour);
            p.drawText(x, baseline, part);
        }
        p.setFont(f);
    };
    const HighlightColours& colours = highlightColours();
    over(d.inserted, selected ? colours.insertedSelected : colours.inserted, false);
    over(d.removed, selected ? colours.removedSelected : colours.removed, true);
}

const DisplayEntry& LinesViewer::displayed(int index) {
    syncGeneration();
    const std::size_t i = static_cast<std::size_t>(index);
    const bool growing = content_.filling() && i + 1 == content_.count();
    if (growing) {
        scratch_ = displayEntry(content_.entry(i), textEncoding_);
        return scratch_;
    }
    if (cache_.size() <= i) {
        cache_.resize(content_.count());
        cached_.resize(content_.count(), false);
    }
    if (!cached_[i]) {
        cache_[i] = displayEntry(content_.entry(i), textEncoding_);
        cached_[i] = true;
    }
    return cache_[i];
}

void LinesViewer::setCurrentIndex(int index) {
    if (index < -1 || index >= count()) index = -1;
    if (index == current_) return;
    current_ = index;
    ensureVisible(index);
    viewport()->update();
    announceCurrent(hasFocus());
    emit currentChanged(index);
}

void LinesViewer::announceCurrent(bool focus) {
    if (!QAccessible::isActive() || current_ < 0) return;
    QAccessibleEvent selection(this, QAccessible::Selection);
    selection.setChild(current_);
    QAccessible::updateAccessibility(&selection);
    if (!focus) return;
    QAccessibleEvent focused(this, QAccessible::Focus);
    focused.setChild(current_);
    QAccessible::updateAccessibility(&focused);
}

void LinesViewer::announceEntries() {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reorder);
}

void LinesViewer::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    // A screen reader hears the current line, not only "list".
    announceCurrent(true);
}

QRect LinesViewer::entryRect(int index) const {
    if (index < 0 || index >= count()) return {};
    const int y = (rowOfEntry(index) - verticalScrollBar()->value()) * rowHeight();
    const QRect r(0, y, viewport()->width(), rowHeight());
    return r.intersects(viewport()->rect()) ? r : QRect();
}

void LinesViewer::updateScrollBars() {
    const int h = rowHeight();
    const int rows = std::max(1, viewport()->height() / h);
    verticalScrollBar()->setPageStep(rows);
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - rows));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
    horizontalScrollBar()->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 4));
    horizontalScrollBar()->setRange(0, std::max(0, widest_ + textLeft() - viewport()->width()));
}

int LinesViewer::indexAt(int y) const {
    if (y < 0) return -1;
    const int row = verticalScrollBar()->value() + y / rowHeight();
    // A preview line stands for the entry above it.
    return row < rowCount() ? rowAt(row).first : -1;
}

void LinesViewer::ensureVisible(int index) {
    if (index < 0) return;
    index = rowOfEntry(index);
    QScrollBar* bar = verticalScrollBar();
    if (index < bar->value()) bar->setValue(index);
    else if (index >= bar->value() + bar->pageStep()) bar->setValue(index - bar->pageStep() + 1);
}

bool LinesViewer::markedLine(int index) {
    if (!markedInterval) return false;
    const std::optional<results::ModificationInterval> interval = markedInterval();
    return interval && engine::entryInsideInterval(content_, index, *interval);
}

void LinesViewer::paintEntry(QPainter& p, int index, const QRect& rect, int scrollX, bool selected) {
    const QPalette& pal = palette();
    p.fillRect(rect, pal.color(selected ? QPalette::Highlight : QPalette::Base));
    if (index < 0 || index >= count()) return;
    const engine::FoundLine& e = content_.entry(static_cast<std::size_t>(index));
    const DisplayEntry& d = displayed(index);
    QFont f = font();
    f.setBold(boldKind(e.kind));
    p.setFont(f);
    const QFontMetrics fm(f);
    const int baseline = rect.top() + (rect.height() - fm.height()) / 2 + fm.ascent();
    const int x0 = rect.left() + textLeft() - scrollX;
    const QColor normal = pal.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const HighlightColours& colours = highlightColours();
    const QColor found = selected ? colours.foundSelected : colours.found;

    if (e.kind == engine::FoundLineKind::Multiline) {
        p.setPen(found);
        p.drawText(x0, baseline, d.text);
    } else {
        p.setPen(normal);
        p.drawText(x0, baseline, d.text);
        if (e.kind == engine::FoundLineKind::Line) {
            // Each found stretch is drawn again over the line in the found colour, at the width
            // of the text before it; stretches right of the visible area are not drawn.
            for (auto [offset, length] : d.highlights) {
                if (offset >= d.text.size()) continue;
                const int x = x0 + fm.horizontalAdvance(d.text.left(offset));
                if (x > rect.right()) continue;
                const QString part = d.text.mid(offset, length);
                p.fillRect(QRect(x, rect.top(), fm.horizontalAdvance(part), rect.height()),
                           pal.color(selected ? QPalette::Highlight : QPalette::Base));
                p.setPen(found);
                p.drawText(x, baseline, part);
            }
        }
    }
    if (markedLine(index)) {
        QFont mark = font();
        mark.setBold(true);
        p.setFont(mark);
        p.setPen(selected ? colours.markSelected : colours.mark);
        p.drawText(rect.left() + kMarkLeft - scrollX, baseline, QStringLiteral("+"));
    }
}

const HighlightColours& LinesViewer::highlightColours() {
    // Worked out once per palette: a theme change or a palette of our own gives new ones.
    const qint64 key = palette().cacheKey();
    if (!colours_ || coloursKey_ != key) {
        colours_ = ui::highlightColours(palette());
        coloursKey_ = key;
    }
    return *colours_;
}

void LinesViewer::paintEvent(QPaintEvent*) {
    syncGeneration();
    QPainter p(viewport());
    const int h = rowHeight();
    const int first = verticalScrollBar()->value();
    const int dx = horizontalScrollBar()->value();
    const int width = viewport()->width();
    for (int row = first, y = 0; row < rowCount() && y < viewport()->height(); ++row, y += h) {
        const auto [index, line] = rowAt(row);
        if (line < 0) paintEntry(p, index, QRect(0, y, width, h), dx, index == current_);
        else paintPreviewLine(p, index, line, QRect(0, y, width, h), dx, index == current_);
    }
}

void LinesViewer::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void LinesViewer::mousePressEvent(QMouseEvent* event) {
    // A right click selects the entry under the mouse before the pop-up menu opens.
    const int index = indexAt(event->position().toPoint().y());
    if (index >= 0) setCurrentIndex(index);
    QAbstractScrollArea::mousePressEvent(event);
}

void LinesViewer::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = indexAt(event->position().toPoint().y());
    if (index >= 0 && event->button() == Qt::LeftButton) emit entryActivated(index);
}

void LinesViewer::keyPressEvent(QKeyEvent* event) {
    const int page = verticalScrollBar()->pageStep();
    switch (event->key()) {
        case Qt::Key_Up: setCurrentIndex(std::max(0, current_ - 1)); break;
        case Qt::Key_Down: setCurrentIndex(std::min(count() - 1, current_ + 1)); break;
        case Qt::Key_PageUp: setCurrentIndex(std::max(0, current_ - page)); break;
        case Qt::Key_PageDown: setCurrentIndex(std::min(count() - 1, current_ + page)); break;
        case Qt::Key_Home: setCurrentIndex(count() > 0 ? 0 : -1); break;
        case Qt::Key_End: setCurrentIndex(count() - 1); break;
        case Qt::Key_Left: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Qt::Key_Right: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        default: QAbstractScrollArea::keyPressEvent(event); return;
    }
}

}  // namespace vsr::ui
