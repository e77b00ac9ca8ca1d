#include "ui/lines/lines_viewer.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
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
// A replacement's check box stands in a room of its own before the text it changes.
constexpr int kBoxGap = 2;
const std::vector<int> kNoBoxes;

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
    if ((!rows_.empty() || !boxes_.empty()) && previewRevision_ != content_.revision()) clearPreview();
    if (generation_ == content_.generation()) return;
    generation_ = content_.generation();
    if (accessible_) accessible_->dropStaleItems();
    cache_.clear();
    cached_.clear();
    measured_ = 0;
    widest_ = 0;
    boxWidening_ = 0;
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

LinesViewer::PreviewDisplay LinesViewer::previewDisplay(int index, const engine::PreviewLine& line,
                                                       const QFontMetrics& fm) {
    // The line's inserted and removed stretches, each as the highlights of the one text.
    engine::FoundLine inserted, removed;
    inserted.displayText = removed.displayText = line.text;
    for (const engine::PreviewMark& m : line.marks)
        (m.inserted ? inserted : removed).highlights.push_back({m.offset, m.length});
    PreviewDisplay d;
    DisplayEntry a = displayEntry(inserted, textEncoding_);
    d.text = a.text;
    d.inserted = std::move(a.highlights);
    d.removed = displayEntry(removed, textEncoding_).highlights;
    widest_ = std::max(widest_, previewLeft(index) - textLeft() + fm.horizontalAdvance(d.text) + fm.averageCharWidth());
    return d;
}

void LinesViewer::setPreview(std::vector<std::vector<engine::PreviewLine>> under) {
    syncGeneration();
    // A preview of the same entries again (a replacement turned on or off) keeps the drawn
    // form of every entry whose lines did not change: a toggle costs one line, not the file.
    std::vector<std::vector<PreviewDisplay>> before;
    std::vector<std::vector<engine::PreviewLine>> beforeSource;
    if (!rows_.empty() && previewRevision_ == content_.revision()) {
        before = std::move(preview_);
        beforeSource = std::move(previewSource_);
    }
    preview_.assign(content_.count(), {});
    rows_.clear();
    firstRow_.assign(content_.count(), 0);
    const QFontMetrics fm = fontMetrics();
    for (std::size_t i = 0; i < content_.count(); ++i) {
        firstRow_[i] = static_cast<int>(rows_.size());
        rows_.emplace_back(static_cast<int>(i), -1);
        if (i >= under.size()) continue;
        if (i < before.size() && i < beforeSource.size() && beforeSource[i] == under[i]) {
            preview_[i] = std::move(before[i]);
            for (std::size_t k = 0; k < preview_[i].size(); ++k)
                rows_.emplace_back(static_cast<int>(i), static_cast<int>(k));
            continue;
        }
        for (const engine::PreviewLine& line : under[i]) {
            rows_.emplace_back(static_cast<int>(i), static_cast<int>(preview_[i].size()));
            preview_[i].push_back(previewDisplay(static_cast<int>(i), line, fm));
        }
    }
    previewSource_ = std::move(under);
    previewRevision_ = content_.revision();
    updateScrollBars();
    viewport()->update();
}

bool LinesViewer::setPreviewOf(int index, std::vector<engine::PreviewLine> lines) {
    syncGeneration();
    if (rows_.empty() || index < 0 || index >= static_cast<int>(preview_.size()) ||
        index >= static_cast<int>(previewSource_.size()) || preview_[static_cast<std::size_t>(index)].size() != lines.size())
        return false;
    const std::size_t i = static_cast<std::size_t>(index);
    const QFontMetrics fm = fontMetrics();
    for (std::size_t k = 0; k < lines.size(); ++k) preview_[i][k] = previewDisplay(index, lines[k], fm);
    previewSource_[i] = std::move(lines);
    updateScrollBars();
    viewport()->update();
    return true;
}

void LinesViewer::clearPreview() {
    if (rows_.empty() && preview_.empty() && boxes_.empty()) return;
    if (!boxes_.empty()) {
        boxes_.clear();
        boxesOfEntry_.clear();
        reviewTotal_ = 0;
        currentBox_ = -1;
        widest_ = std::max(0, widest_ - boxWidening_);
        boxWidening_ = 0;
        if (accessible_) accessible_->dropBoxItems();
    }
    preview_.clear();
    previewSource_.clear();
    rows_.clear();
    firstRow_.clear();
    updateScrollBars();
    viewport()->update();
}

void LinesViewer::setReviewBoxes(std::vector<ReviewBox> boxes, std::size_t total) {
    syncGeneration();
    if (accessible_) accessible_->dropBoxItems();
    boxes_ = std::move(boxes);
    reviewTotal_ = total;
    boxesOfEntry_.assign(content_.count(), {});
    std::size_t most = 0;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        const int entry = boxes_[i].entry;
        if (entry < 0 || entry >= count()) continue;
        std::vector<int>& of = boxesOfEntry_[static_cast<std::size_t>(entry)];
        of.push_back(static_cast<int>(i));
        most = std::max(most, of.size());
    }
    // The boxes widen the text they stand in.
    widest_ += static_cast<int>(most) * boxRoom() - boxWidening_;
    boxWidening_ = static_cast<int>(most) * boxRoom();
    previewRevision_ = content_.revision();
    currentBox_ = -1;
    if (current_ >= 0 && !boxesOf(current_).empty()) currentBox_ = boxesOf(current_).front();
    updateScrollBars();
    viewport()->update();
}

void LinesViewer::setBoxOn(std::size_t ordinal, bool on) {
    const auto it = std::lower_bound(boxes_.begin(), boxes_.end(), ordinal,
                                     [](const ReviewBox& b, std::size_t o) { return b.ordinal < o; });
    if (it == boxes_.end() || it->ordinal != ordinal || it->on == on) return;
    it->on = on;
    const int box = static_cast<int>(it - boxes_.begin());
    viewport()->update(boxRect(box).adjusted(-2, -2, 2, 2));
    if (accessible_ && QAccessible::isActive()) accessible_->boxChanged(box);
}

void LinesViewer::setAllBoxesOn(bool on) {
    for (ReviewBox& b : boxes_) b.on = on;
    viewport()->update();
}

void LinesViewer::setCurrentBox(int box) {
    if (box < -1 || box >= static_cast<int>(boxes_.size())) return;
    const bool otherEntry = box >= 0 && boxes_[static_cast<std::size_t>(box)].entry != current_;
    if (!otherEntry && box == currentBox_) return;
    const QRect before = currentBox_ >= 0 ? boxRect(currentBox_) : QRect();
    if (otherEntry) setCurrentIndex(boxes_[static_cast<std::size_t>(box)].entry);
    currentBox_ = box;
    ensureBoxVisible(box);
    viewport()->update(before.adjusted(-2, -2, 2, 2));
    if (box >= 0) viewport()->update(boxRect(box).adjusted(-2, -2, 2, 2));
    if (hasFocus()) announceBox();
}

const std::vector<int>& LinesViewer::boxesOf(int index) const {
    if (index < 0 || index >= static_cast<int>(boxesOfEntry_.size())) return kNoBoxes;
    return boxesOfEntry_[static_cast<std::size_t>(index)];
}

int LinesViewer::boxSide() const { return std::max(8, std::min(rowHeight() - 4, fontMetrics().height() - 2)); }

int LinesViewer::boxRoom() const { return boxSide() + 2 * kBoxGap; }

int LinesViewer::boxX(const QFontMetrics& fm, const DisplayEntry& d, int box) const {
    // Every box of the entry before this one takes its room too.
    const ReviewBox& b = boxes_[static_cast<std::size_t>(box)];
    const std::vector<int>& of = boxesOf(b.entry);
    const int k = static_cast<int>(std::find(of.begin(), of.end(), box) - of.begin());
    return fm.horizontalAdvance(d.text.left(b.column)) + k * boxRoom();
}

QRect LinesViewer::boxRect(int box) const {
    if (box < 0 || box >= static_cast<int>(boxes_.size())) return {};
    const ReviewBox& b = boxes_[static_cast<std::size_t>(box)];
    const QRect entry = entryRect(b.entry);
    if (entry.isEmpty()) return {};
    // Drawing caches the entry's text; asking for a box's place does not change what is drawn.
    const DisplayEntry& d = const_cast<LinesViewer*>(this)->displayed(b.entry);
    const int side = boxSide();
    const int x = textLeft() - horizontalScrollBar()->value() + boxX(fontMetrics(), d, box) + kBoxGap;
    return QRect(x, entry.top() + (entry.height() - side) / 2, side, side);
}

int LinesViewer::boxAt(const QPoint& inViewport) const {
    const int index = indexAt(inViewport.y());
    const int row = verticalScrollBar()->value() + inViewport.y() / rowHeight();
    // Only the entry's own row carries boxes, not the preview lines under it.
    if (index < 0 || rowAt(row).second >= 0) return -1;
    for (int box : boxesOf(index))
        if (boxRect(box).adjusted(-kBoxGap, -kBoxGap, kBoxGap, kBoxGap).contains(inViewport)) return box;
    return -1;
}

QString LinesViewer::boxDescription(int box) const {
    if (box < 0 || box >= static_cast<int>(boxes_.size())) return {};
    const ReviewBox& b = boxes_[static_cast<std::size_t>(box)];
    return QStringLiteral("replacement %1 of %2, %3")
        .arg(static_cast<qulonglong>(b.ordinal + 1))
        .arg(static_cast<qulonglong>(reviewTotal_))
        .arg(b.on ? QStringLiteral("on") : QStringLiteral("off"));
}

void LinesViewer::ensureBoxVisible(int box) {
    const QRect r = boxRect(box);
    if (r.isEmpty()) return;
    QScrollBar* bar = horizontalScrollBar();
    const int margin = boxRoom() * 2;
    if (r.left() < textLeft()) bar->setValue(bar->value() - (textLeft() - r.left()) - margin);
    else if (r.right() > viewport()->width()) bar->setValue(bar->value() + r.right() - viewport()->width() + margin);
}

void LinesViewer::announceBox() {
    if (!QAccessible::isActive() || !accessible_ || currentBox_ < 0) return;
    accessible_->boxFocused(currentBox_);
}

void LinesViewer::paintBox(QPainter& p, int box, const QRect& r, bool selected) {
    const ReviewBox& b = boxes_[static_cast<std::size_t>(box)];
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.rect = r;
    opt.state = QStyle::State_Enabled | (b.on ? QStyle::State_On : QStyle::State_Off);
    opt.state &= ~QStyle::State_HasFocus;
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, &p, this);
    if (box == currentBox_ && selected) {
        // The box the keys act on: a frame around it in the selection's text colour.
        p.setPen(palette().color(hasFocus() ? QPalette::HighlightedText : QPalette::Text));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(-2, -2, 1, 1));
    }
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
    // The keys act on the first box of the new current entry.
    if (!boxes_.empty()) currentBox_ = index >= 0 && !boxesOf(index).empty() ? boxesOf(index).front() : -1;
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

    // The boxes of reviewed replacements push the text after them right, each by its room.
    const std::vector<int>& boxes = boxesOf(index);
    const int room = boxRoom();
    auto shiftAt = [&](int offset) {
        int shift = 0;
        for (int b : boxes)
            if (boxes_[static_cast<std::size_t>(b)].column <= offset) shift += room;
        return shift;
    };
    auto drawWhole = [&] {
        if (boxes.empty()) {
            p.drawText(x0, baseline, d.text);
            return;
        }
        int from = 0;
        int x = x0;
        for (int b : boxes) {
            const int to = std::clamp(boxes_[static_cast<std::size_t>(b)].column, from, static_cast<int>(d.text.size()));
            if (to > from) p.drawText(x, baseline, d.text.mid(from, to - from));
            x = x0 + fm.horizontalAdvance(d.text.left(to)) + shiftAt(to);
            from = to;
        }
        if (from < d.text.size()) p.drawText(x, baseline, d.text.mid(from));
    };
    if (e.kind == engine::FoundLineKind::Multiline) {
        p.setPen(found);
        drawWhole();
    } else {
        p.setPen(normal);
        drawWhole();
        if (e.kind == engine::FoundLineKind::Line) {
            // Each found stretch is drawn again over the line in the found colour, at the width
            // of the text before it; stretches right of the visible area are not drawn.
            for (auto [offset, length] : d.highlights) {
                if (offset >= d.text.size()) continue;
                const int x = x0 + fm.horizontalAdvance(d.text.left(offset)) + shiftAt(offset);
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
    const int side = boxSide();
    for (int b : boxes) {
        const int x = x0 + boxX(fm, d, b) + kBoxGap;
        if (x > rect.right()) break;
        paintBox(p, b, QRect(x, rect.top() + (rect.height() - side) / 2, side, side), selected);
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
    if (event->button() == Qt::LeftButton) {
        const int box = boxAt(event->position().toPoint());
        if (box >= 0) {
            setCurrentBox(box);
            emit boxToggled(boxes_[static_cast<std::size_t>(box)].ordinal);
            return;
        }
    }
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
    if (!boxes_.empty() && event->key() == Qt::Key_Space) {
        // Space keeps or skips the replacement at hand; with Shift, every one of the file's.
        if (event->modifiers() & Qt::ShiftModifier) emit fileToggled();
        else if (currentBox_ >= 0) emit boxToggled(boxes_[static_cast<std::size_t>(currentBox_)].ordinal);
        return;
    }
    if (!boxes_.empty() && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) &&
        !(event->modifiers() & Qt::ControlModifier)) {
        // Left and Right go from box to box, across the entries; with Ctrl they scroll.
        const int last = static_cast<int>(boxes_.size()) - 1;
        int box = currentBox_;
        if (box < 0) {
            // From an entry without boxes, to the nearest box before or after it.
            box = event->key() == Qt::Key_Right ? 0 : last;
            for (int i = 0; i <= last; ++i) {
                const int entry = boxes_[static_cast<std::size_t>(i)].entry;
                if (event->key() == Qt::Key_Right && entry > current_) { box = i; break; }
                if (event->key() == Qt::Key_Left && entry < current_) box = i;
            }
        } else {
            box = std::clamp(box + (event->key() == Qt::Key_Right ? 1 : -1), 0, last);
        }
        setCurrentBox(box);
        return;
    }
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
