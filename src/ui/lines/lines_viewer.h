#pragma once
#include <QAbstractScrollArea>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "engine/modify/preview_lines.h"
#include "engine/viewer/lines_viewer_content.h"
#include "platform/code_page.h"
#include "results/result_item.h"
#include "ui/lines/lines_viewer_text.h"
#include "ui/widgets/readable_colours.h"

class QPainter;

namespace vsr::ui {

class LinesViewerAccessible;

// The Lines Viewer (`ListBox1`): an owner-drawn list of the browsed file's entries that
// scrolls both ways. It draws the engine's LinesViewerContent directly: header and overflow
// entry in bold, found text in blue (yellow on the selected entry), block matches wholly in
// blue, and a red "+" in front of lines inside the browsed row's modification interval. With a
// preview set, each entry is followed by its lines as Modify will write them: inserted text
// green, removed text struck through in red. Each of these colours is made readable against the
// palette it is drawn on, light or dark.
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
    void setTextEncoding(platform::CodePageId page);

    // The entries changed (a fill added some): grow the horizontal extent and repaint.
    void contentChanged();
    // Shows `under[i]` below entry i, until the entries change or clearPreview().
    void setPreview(std::vector<std::vector<engine::PreviewLine>> under);
    void clearPreview();
    // Puts other lines under entry `index` alone, as many as it had: false (and nothing done)
    // when the entry has another count of lines or no preview is shown.
    bool setPreviewOf(int index, std::vector<engine::PreviewLine> lines);
    bool hasPreview() const { return !rows_.empty(); }
    // Where entry `index` is drawn in the viewport now (empty when scrolled out of sight), the
    // entry drawn at a point of the viewport (-1: none), and the drawn row of an entry.
    QRect entryRect(int index) const;
    int entryAt(const QPoint& inViewport) const { return indexAt(inViewport.y()); }
    int entryRow(int index) const { return rowOfEntry(index); }
    // The viewer's interface for assistive technology, told when the entries are dropped.
    void setAccessible(LinesViewerAccessible* accessible) { accessible_ = accessible; }
    // Rows drawn: the entries and the preview lines under them.
    int rowCount() const { return rows_.empty() ? count() : static_cast<int>(rows_.size()); }
    // The entry of drawn row `row` and which of its preview lines it is (-1: the entry itself).
    std::pair<int, int> rowAt(int row) const;
    // Draws preview line `line` of entry `index` (tests render it into an image).
    void paintPreviewLine(QPainter& painter, int index, int line, const QRect& rect, int scrollX, bool selected);
    // A preview line as drawn: its text, the inserted and the removed stretches (characters).
    struct PreviewDisplay {
        QString text;
        std::vector<std::pair<int, int>> inserted;
        std::vector<std::pair<int, int>> removed;
    };
    const PreviewDisplay& previewDisplayed(int index, int line) const;
    // The replacements of the browsed file while they are reviewed: each a check box drawn in
    // its entry just before the text it changes (`column`, a character of the drawn text), in
    // the order of their ordinals. `total` is how many the file has in all (the viewer may show
    // fewer). The boxes belong to the entries they were made for, like the preview.
    struct ReviewBox {
        int entry = 0;
        int column = 0;
        std::size_t ordinal = 0;
        bool on = true;
    };
    void setReviewBoxes(std::vector<ReviewBox> boxes, std::size_t total);
    void setBoxOn(std::size_t ordinal, bool on);
    void setAllBoxesOn(bool on);
    bool reviewing() const { return !boxes_.empty(); }
    const std::vector<ReviewBox>& reviewBoxes() const { return boxes_; }
    std::size_t reviewTotal() const { return reviewTotal_; }
    // The box the keyboard acts on (an index into reviewBoxes(), -1: none); it follows the
    // current entry.
    int currentBox() const { return currentBox_; }
    void setCurrentBox(int box);
    // The boxes drawn in entry `index` (indices into reviewBoxes()), and where box `box` is drawn
    // in the viewport now.
    const std::vector<int>& boxesOf(int index) const;
    QRect boxRect(int box) const;
    // "replacement 3 of 7, on": how a box is read out.
    QString boxDescription(int box) const;
    // The interval whose lines get the "+", or nothing when no mark is drawn now.
    std::function<std::optional<results::ModificationInterval>()> markedInterval;

    // Draws entry `index` into `rect` scrolled left by `scrollX` (the view's own painting, and
    // tests rendering into an image).
    void paintEntry(QPainter& painter, int index, const QRect& rect, int scrollX, bool selected);
    // Where entry `index` is drawn as text: its characters and highlights.
    const DisplayEntry& displayed(int index);
    // The horizontal extent: the widest text seen since the viewer was last emptied.
    int extent() const { return widest_; }
    // The marking colours for the viewer's palette as it is now.
    const HighlightColours& highlightColours();

signals:
    void entryActivated(int index);
    void currentChanged(int index);
    // Space or a click on a box: keep or skip that replacement. Shift+Space: all of the file's.
    void boxToggled(std::size_t ordinal);
    void fileToggled();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void focusInEvent(QFocusEvent*) override;

private:
    void syncGeneration();
    void updateScrollBars();
    int indexAt(int y) const;
    void ensureVisible(int index);
    bool markedLine(int index);
    // Tells assistive technology which entry is current, or that the entries changed.
    void announceCurrent(bool focus);
    void announceEntries();
    int rowOfEntry(int index) const;
    int previewLeft(int index) const;
    // A preview line of entry `index` as drawn; widens the text to hold it.
    PreviewDisplay previewDisplay(int index, const engine::PreviewLine& line, const QFontMetrics& fm);
    // Room a box takes in the text, and where box `k` of an entry (0-based among its boxes)
    // and the text after it start, relative to the entry's text start.
    int boxRoom() const;
    int boxSide() const;
    int boxX(const QFontMetrics& fm, const DisplayEntry& d, int box) const;
    void paintBox(QPainter& painter, int box, const QRect& room, bool selected);
    void announceBox();
    void ensureBoxVisible(int box);
    int boxAt(const QPoint& inViewport) const;

    engine::LinesViewerContent content_;
    std::vector<DisplayEntry> cache_;
    std::vector<bool> cached_;
    std::uint64_t generation_ = 0;
    std::size_t measured_ = 0;
    int widest_ = 0;
    int current_ = -1;
    int dpi_ = 96;
    platform::CodePageId textEncoding_ = platform::CodePageId::Utf8;
    DisplayEntry scratch_;
    // The preview: lines per entry as drawn, the drawn rows, and the entries it was made for.
    std::vector<std::vector<PreviewDisplay>> preview_;
    std::vector<std::vector<engine::PreviewLine>> previewSource_;
    std::vector<std::pair<int, int>> rows_;
    std::vector<int> firstRow_;
    std::uint64_t previewRevision_ = 0;
    std::vector<ReviewBox> boxes_;
    std::vector<std::vector<int>> boxesOfEntry_;
    std::size_t reviewTotal_ = 0;
    int boxWidening_ = 0;  // what the boxes added to the extent
    int currentBox_ = -1;
    LinesViewerAccessible* accessible_ = nullptr;
    std::optional<HighlightColours> colours_;
    qint64 coloursKey_ = 0;
};

}  // namespace vsr::ui
