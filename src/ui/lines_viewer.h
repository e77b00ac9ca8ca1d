#pragma once
#include <QAbstractScrollArea>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "engine/viewer/lines_viewer_content.h"
#include "platform/code_page.h"
#include "results/result_item.h"
#include "ui/lines_viewer_text.h"

class QPainter;

namespace vsr::ui {

// The Lines Viewer (`ListBox1`): an owner-drawn list of the browsed file's entries that
// scrolls both ways. It draws the engine's LinesViewerContent directly: header and overflow
// entry in bold, found text in blue (yellow on the selected entry), block matches wholly in
// blue, and a red "+" in front of lines inside the browsed row's modification interval.
class LinesViewer : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LinesViewer(QWidget* parent = nullptr);

    engine::LinesViewerContent& content() { return content_; }
    const engine::LinesViewerContent& content() const { return content_; }

    // Empties the viewer (after a running fill has ended) and scrolls back to the left edge.
    void clear();
    int count() const { return static_cast<int>(content_.count()); }
    bool hasLines() const { return !content_.empty(); }
    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);
    // 16 pixels at 96 dots per inch, one more above; never less than the font needs.
    int rowHeight() const;
    // Where the text of an entry starts, right of the room kept for the interval mark.
    int textLeft() const;
    void setDotsPerInch(int dpi);
    void setCodePage(platform::CodePageId page);

    // The entries changed (a fill added some): grow the horizontal extent and repaint.
    void contentChanged();
    // The interval whose lines get the "+", or nothing when no mark is drawn now.
    std::function<std::optional<results::ModificationInterval>()> markedInterval;

    // Draws entry `index` into `rect` scrolled left by `scrollX` (the view's own painting, and
    // tests rendering into an image).
    void paintEntry(QPainter& painter, int index, const QRect& rect, int scrollX, bool selected);
    // Where entry `index` is drawn as text: its characters and highlights.
    const DisplayEntry& displayed(int index);
    // The horizontal extent: the widest text seen since the viewer was last emptied.
    int extent() const { return widest_; }

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
    void syncGeneration();
    void updateScrollBars();
    int indexAt(int y) const;
    void ensureVisible(int index);
    bool markedLine(int index);

    engine::LinesViewerContent content_;
    std::vector<DisplayEntry> cache_;
    std::vector<bool> cached_;
    std::uint64_t generation_ = 0;
    std::size_t measured_ = 0;
    int widest_ = 0;
    int current_ = -1;
    int dpi_ = 96;
    platform::CodePageId page_ = platform::CodePageId::Windows1252;
    DisplayEntry scratch_;
};

}  // namespace vsr::ui
