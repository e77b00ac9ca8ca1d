#pragma once
#include <QAccessibleWidget>
#include <QPointer>
#include <cstdint>
#include <map>

namespace vsr::ui {

class LinesViewer;

// What assistive technology sees of the Lines Viewer: a list with one item per entry (the
// header, each found line, the overflow message), named with the entry's text as drawn, the
// current entry focused and selected. The viewer draws its entries itself, so without this a
// screen reader finds an empty, nameless box.
class LinesViewerAccessible : public QAccessibleWidget {
public:
    explicit LinesViewerAccessible(LinesViewer* viewer);
    ~LinesViewerAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    LinesViewer* viewer() const;
    // Items are made when first asked for and live until the viewer gets other entries; then
    // they are dropped, so that no one holds an item that reads another line now.
    void dropStaleItems() const;

    // The check box of a reviewed replacement, a child of its entry's item: "replacement 3 of
    // 7, on". Dropped whenever the viewer gets other boxes.
    QAccessibleInterface* boxItem(int box) const;
    void dropBoxItems();
    // The box the keys act on moved, or a box was turned on or off: a screen reader hears it.
    void boxFocused(int box);
    void boxChanged(int box);

private:
    mutable std::map<int, QAccessible::Id> items_;
    mutable std::map<int, QAccessible::Id> boxes_;
    mutable std::uint64_t generation_ = 0;
};

// Lets Qt's accessibility find LinesViewerAccessible for every Lines Viewer; once is enough.
void installLinesViewerAccessibility();

}  // namespace vsr::ui
