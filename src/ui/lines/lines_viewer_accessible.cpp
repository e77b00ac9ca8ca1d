#include "ui/lines/lines_viewer_accessible.h"

#include <QAccessible>
#include <QStringList>
#include <algorithm>

#include "ui/lines/lines_viewer.h"

namespace vsr::ui {

namespace {

// What the viewer's items have in common: no object of their own, the viewer's window, a
// place in its viewport (offscreen where that is empty) and an invalid state once the viewer
// no longer shows what they stand for.
class ViewerItem : public QAccessibleInterface {
public:
    explicit ViewerItem(LinesViewer* viewer) : viewer_(viewer) {}

    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        QAccessibleInterface* p = parent();
        return p ? p->window() : nullptr;
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = viewportRect();
        if (r.isEmpty()) return {};
        return QRect(viewer_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        addState(s);
        if (viewportRect().isEmpty()) s.offscreen = s.invisible = true;
        return s;
    }

protected:
    // Where the item is drawn in the viewer's viewport; empty while it is scrolled out of sight.
    virtual QRect viewportRect() const = 0;
    // The states of a valid item besides being offscreen.
    virtual void addState(QAccessible::State& s) const = 0;

    QPointer<LinesViewer> viewer_;
};

// One entry of the viewer, known by its index; it reads the entry afresh on every question,
// so a fill that grows the entry is heard as it is now.
class LineItem : public ViewerItem {
public:
    LineItem(LinesViewer* viewer, int index) : ViewerItem(viewer), index_(index) {}

    bool isValid() const override { return viewer_ && index_ < viewer_->count(); }
    QAccessibleInterface* parent() const override {
        return viewer_ ? QAccessible::queryAccessibleInterface(viewer_.data()) : nullptr;
    }
    QAccessibleInterface* child(int i) const override {
        if (!isValid() || i < 0 || i >= childCount()) return nullptr;
        return owner()->boxItem(viewer_->boxesOf(index_)[static_cast<std::size_t>(i)]);
    }
    int childCount() const override { return isValid() ? static_cast<int>(viewer_->boxesOf(index_).size()) : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override;

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Name) return viewer_->displayed(index_).text.trimmed();
        if (t == QAccessible::Description && viewer_->hasPreview()) {
            // The preview lines under the entry: what Modify will write there.
            QStringList lines;
            for (int row = viewer_->entryRow(index_) + 1; row < viewer_->rowCount(); ++row) {
                const auto [entry, line] = viewer_->rowAt(row);
                if (entry != index_ || line < 0) break;
                lines << viewer_->previewDisplayed(entry, line).text;
            }
            return lines.join(QLatin1Char('\n'));
        }
        return {};
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    const LinesViewer* viewer() const { return viewer_.data(); }
    int index() const { return index_; }

protected:
    QRect viewportRect() const override { return viewer_->entryRect(index_); }
    void addState(QAccessible::State& s) const override {
        s.selectable = true;
        s.focusable = true;
        if (viewer_->currentIndex() == index_) {
            s.selected = true;
            s.focused = viewer_->hasFocus();
        }
    }

private:
    LinesViewerAccessible* owner() const {
        return static_cast<LinesViewerAccessible*>(QAccessible::queryAccessibleInterface(viewer_.data()));
    }
    int index_;
};

// A replacement's check box inside its entry, known by its place among the viewer's boxes.
class BoxItem : public ViewerItem {
public:
    BoxItem(LinesViewer* viewer, int box) : ViewerItem(viewer), box_(box) {}

    bool isValid() const override {
        return viewer_ && box_ < static_cast<int>(viewer_->reviewBoxes().size());
    }
    QAccessibleInterface* parent() const override {
        if (!isValid()) return nullptr;
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(viewer_.data());
        return list ? list->child(entry()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name) return {};
        return viewer_->boxDescription(box_);
    }
    QAccessible::Role role() const override { return QAccessible::CheckBox; }

    int entry() const { return viewer_->reviewBoxes()[static_cast<std::size_t>(box_)].entry; }
    int box() const { return box_; }

protected:
    QRect viewportRect() const override { return viewer_->boxRect(box_); }
    void addState(QAccessible::State& s) const override {
        s.checkable = true;
        s.checked = viewer_->reviewBoxes()[static_cast<std::size_t>(box_)].on;
        s.focusable = true;
        s.focused = viewer_->hasFocus() && viewer_->currentBox() == box_;
    }

private:
    int box_;
};

int LineItem::indexOfChild(const QAccessibleInterface* child) const {
    const auto* item = dynamic_cast<const BoxItem*>(child);
    if (!item || !isValid() || !item->isValid()) return -1;
    const std::vector<int>& boxes = viewer_->boxesOf(index_);
    const auto it = std::find(boxes.begin(), boxes.end(), item->box());
    return it == boxes.end() ? -1 : static_cast<int>(it - boxes.begin());
}

QAccessibleInterface* linesViewerFactory(const QString& key, QObject* object) {
    if (key == QLatin1String(LinesViewer::staticMetaObject.className()))
        if (auto* viewer = qobject_cast<LinesViewer*>(object)) return new LinesViewerAccessible(viewer);
    return nullptr;
}

}  // namespace

LinesViewerAccessible::LinesViewerAccessible(LinesViewer* viewer) : QAccessibleWidget(viewer, QAccessible::List) {
    generation_ = viewer->content().generation();
    viewer->setAccessible(this);
}

LinesViewerAccessible::~LinesViewerAccessible() {
    // Qt drops this interface once the viewer is destroyed; the viewer is gone by then.
    for (const auto& [index, id] : items_) QAccessible::deleteAccessibleInterface(id);
    for (const auto& [box, id] : boxes_) QAccessible::deleteAccessibleInterface(id);
}

LinesViewer* LinesViewerAccessible::viewer() const { return static_cast<LinesViewer*>(widget()); }

void LinesViewerAccessible::dropStaleItems() const {
    const std::uint64_t now = viewer()->content().generation();
    if (now == generation_) return;
    for (const auto& [index, id] : items_) QAccessible::deleteAccessibleInterface(id);
    items_.clear();
    generation_ = now;
}

int LinesViewerAccessible::childCount() const { return viewer()->count(); }

QAccessibleInterface* LinesViewerAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) return nullptr;
    dropStaleItems();
    if (auto found = items_.find(index); found != items_.end()) return QAccessible::accessibleInterface(found->second);
    auto* item = new LineItem(viewer(), index);
    items_[index] = QAccessible::registerAccessibleInterface(item);
    return item;
}

int LinesViewerAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* item = dynamic_cast<const LineItem*>(child);
    return item && item->viewer() == viewer() && item->isValid() ? item->index() : -1;
}

QAccessibleInterface* LinesViewerAccessible::childAt(int x, int y) const {
    const QPoint inViewport = viewer()->viewport()->mapFromGlobal(QPoint(x, y));
    if (!viewer()->viewport()->rect().contains(inViewport)) return nullptr;
    return child(viewer()->entryAt(inViewport));
}

QAccessibleInterface* LinesViewerAccessible::focusChild() const {
    return viewer()->currentIndex() >= 0 ? child(viewer()->currentIndex()) : nullptr;
}

QAccessibleInterface* LinesViewerAccessible::boxItem(int box) const {
    if (box < 0 || box >= static_cast<int>(viewer()->reviewBoxes().size())) return nullptr;
    if (auto found = boxes_.find(box); found != boxes_.end()) return QAccessible::accessibleInterface(found->second);
    auto* item = new BoxItem(viewer(), box);
    boxes_[box] = QAccessible::registerAccessibleInterface(item);
    return item;
}

void LinesViewerAccessible::dropBoxItems() {
    for (const auto& [box, id] : boxes_) QAccessible::deleteAccessibleInterface(id);
    boxes_.clear();
}

void LinesViewerAccessible::boxFocused(int box) {
    if (QAccessibleInterface* item = boxItem(box)) {
        QAccessibleEvent focused(item, QAccessible::Focus);
        QAccessible::updateAccessibility(&focused);
    }
}

void LinesViewerAccessible::boxChanged(int box) {
    if (QAccessibleInterface* item = boxItem(box)) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(item, changed);
        QAccessible::updateAccessibility(&event);
        QAccessibleEvent name(item, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&name);
    }
}

void installLinesViewerAccessibility() {
    static const bool installed = (QAccessible::installFactory(linesViewerFactory), true);
    (void)installed;
}

}  // namespace vsr::ui
