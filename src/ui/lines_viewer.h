#pragma once
#include <QAbstractScrollArea>
#include <QString>
#include <utility>
#include <vector>

namespace vsr::ui {

// One entry of the Lines Viewer as drawn: its text, the highlighted stretches
// (character offset, length) and whether it lies inside the modification interval.
struct ViewerEntry {
    QString text;
    std::vector<std::pair<int, int>> highlights;
    bool marked = false;
};

// The lower pane of the window: an owner-drawn list of lines that scrolls in both
// directions, with the found text drawn in blue and a red "+" in front of marked lines.
class LinesViewer : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LinesViewer(QWidget* parent = nullptr);

    void clear();
    void setEntries(std::vector<ViewerEntry> entries);
    const std::vector<ViewerEntry>& entries() const { return entries_; }
    int count() const { return static_cast<int>(entries_.size()); }
    bool hasLines() const { return !entries_.empty(); }
    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);
    int rowHeight() const;

signals:
    void entryActivated(int index);
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    void updateScrollBars();
    int indexAt(int y) const;
    void ensureVisible(int index);

    std::vector<ViewerEntry> entries_;
    int current_ = -1;
    int widest_ = 0;
};

}  // namespace vsr::ui
