// Sizes and positions: the fixed heights per tab and query view, the width rules on resize
// and showing or hiding the list area. Every size is designed at 96 dots per inch.
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>

#include "ui/widgets/busy_indicator.h"
#include "ui/window/find_window.h"
#include "ui/lines/lines_viewer.h"

namespace vsr::ui {

namespace {

// Re-positions a combo box without touching its text or selection, which a resize must keep.
void place(QWidget* w, int x, int y, int width, int height) {
    if (w) w->setGeometry(x, y, std::max(0, width), std::max(0, height));
}

}  // namespace

int TFind::windowHeightFor(int page96) const {
    // The window's client height: menu bar, top panel and page control, nothing else.
    return menuBar()->sizeHint().height() + metrics_.s(px::kPanel1Height) + metrics_.s(page96);
}

void TFind::setCompactHeight(int page96) {
    const QScopedValueRollback<bool> laying(layingOut_, true);
    PageControl1->setFixedHeight(metrics_.s(page96));
    showListArea(false);
    const int h = windowHeightFor(page96);
    setMinimumHeight(h);
    setMaximumHeight(h);
    resize(width(), h);
}

void TFind::setListLayout(int page96) {
    const QScopedValueRollback<bool> laying(layingOut_, true);
    PageControl1->setFixedHeight(metrics_.s(page96));
    showListArea(true);
    // The designed minimum (265 or 301) is the compact window plus the status bar strip.
    const int minimum = windowHeightFor(page96) + metrics_.s(px::kStatusBarHeight);
    setMaximumHeight(QWIDGETSIZE_MAX);
    setMinimumHeight(minimum);
    if (!isMaximized()) resize(width(), std::max(state_.normalHeight, minimum));
}

void TFind::showListArea(bool on) {
    Splitter1->setVisible(on);
    statusBar()->setVisible(on);
}

bool TFind::listVisible() const { return Splitter1 && Splitter1->isVisibleTo(const_cast<TFind*>(this)); }

void TFind::applyWidthRules() {
    if (!Panel1) return;
    const Metrics& m = metrics_;
    const int w = width() - m.s(7);
    // Top panel, first row: the path field grows with the window, the button and animation stay right.
    place(PathLabel, m.s(8), m.s(11), m.s(38), m.s(18));
    place(ComboBoxPath, m.s(48), m.s(8), w - m.s(198), m.s(24));
    place(Button1, w - m.s(134), m.s(7), m.s(66), m.s(26));
    place(Animate1, w - m.s(63), m.s(4), m.s(40), m.s(40));
    place(Panel1Row2, m.s(8), m.s(44), width() - m.s(16), m.s(26));
    placeFindTabControls();
    placeSearchReplaceControls();
    // Status panels 0 and 2 keep their width; panel 1 takes what the window gains.
    if (StatusPanel[0]) {
        StatusPanel[0]->setFixedWidth(m.s(px::kStatusPanel0));
        int panel1 = std::max(m.s(40), m.s(353) + w - m.s(651));
        // The last panel takes what is left. Where the backup note would be cut short, panel 1
        // (paths, elided anyway) gives up the difference.
        const int note = StatusPanel[2]->fontMetrics().horizontalAdvance(QStringLiteral("Search Backup Files: Cannot")) +
                         m.s(10);
        const int spare = width() - m.s(px::kStatusPanel0) - m.s(24);
        if (spare - panel1 < note) panel1 = std::max(m.s(100), spare - note);
        StatusPanel[1]->setFixedWidth(panel1);
        StatusPanel[2]->setFixedWidth(std::max(m.s(px::kStatusPanel2), spare - panel1));
    }
}

void TFind::placeFindTabControls() {
    const Metrics& m = metrics_;
    const int w = width() - m.s(7);
    const bool multi = findQueryView() == QueryView::MultiLine;
    const int buttonsTop = m.s(multi ? px::kFindMultiLineButtonsTop : px::kFindOneLineButtonsTop);
    place(QueryTypeRow, m.s(8), m.s(8), w - m.s(20), m.s(22));
    place(QueryLabel, m.s(8), m.s(39), m.s(42), m.s(18));
    place(FindEditComboBox, m.s(52), m.s(36), w - m.s(74), m.s(24));
    place(FindMemo, m.s(52), m.s(35), w - m.s(74), buttonsTop - m.s(6) - m.s(35));
    place(FindBit, m.s(52), buttonsTop, m.s(80), m.s(26));
    place(StopFindBit, m.s(52 + 88), buttonsTop, m.s(80), m.s(26));
    place(ClearFindBit, m.s(52 + 176), buttonsTop, m.s(80), m.s(26));
    const int archivesLeft = m.s(52 + 176 + 96);
    place(ArchivesCheckBox, archivesLeft, buttonsTop + m.s(4), std::max(m.s(40), w - m.s(22) - archivesLeft), m.s(18));
}

void TFind::placeSearchReplaceControls() {
    const Metrics& m = metrics_;
    const int w = width() - m.s(7);
    // The page's own height decides where the button row goes, so a taller tab bar never
    // pushes the buttons out of sight.
    const int pageHeight = SearchReplaceTab->height() > m.s(100) ? SearchReplaceTab->height()
                                                                   : m.s(px::kSearchReplacePage - 26);
    const int buttonsTop = pageHeight - m.s(29);
    place(SearchTypeBox, m.s(6), m.s(1), m.s(200), m.s(64));
    const int modLeft = m.s(212);
    place(ModificationTypeBox, modLeft, m.s(1), w - m.s(54) - m.s(8) - modLeft, m.s(64));
    place(StopUndoPanel, w - m.s(54), m.s(8), m.s(44), m.s(54));

    const bool multi = searchQueryView() == QueryView::MultiLine;
    // The replacement field's label reads "Replace" over "or Insert To", two whole lines; the
    // label column widens where the font needs it, and the fields keep their width.
    const QFontMetrics fm = ReplaceLabel->fontMetrics();
    const int space = fm.horizontalAdvance(QLatin1Char(' '));
    const int orInsertWidth = fm.horizontalAdvance(OrInsertLabel->text());
    const int toWidth = fm.horizontalAdvance(ToLabel->text());
    const int labelWidth = std::max(fm.horizontalAdvance(ReplaceLabel->text()), orInsertWidth + space + toWidth);
    const int fieldLeft = std::max(m.s(64), m.s(8) + labelWidth + m.s(6));
    place(SearchLabel, m.s(8), m.s(71), fieldLeft - m.s(10), m.s(18));
    place(SearchEdit, fieldLeft, m.s(68), w - m.s(111), m.s(24));
    place(SearchMemo, fieldLeft, m.s(67), w - m.s(111), m.s(36));
    const int replaceTop = multi ? m.s(106) : m.s(96);
    const int replaceBottom = buttonsTop - m.s(3);
    const int fieldHeight = m.s(24);
    place(Edit2, fieldLeft, replaceTop + std::max(0, (replaceBottom - replaceTop - fieldHeight) / 2), w - m.s(111),
          fieldHeight);
    place(Memo2, fieldLeft, replaceTop, w - m.s(111), replaceBottom - replaceTop);
    // The two lines are centred on the field, never above the end of the "Search" label nor
    // into the button row.
    const int roomTop = SearchLabel->geometry().bottom() + 1;
    const int roomBottom = buttonsTop - m.s(2);
    const int lineHeight = std::min(fm.lineSpacing(), (roomBottom - roomTop) / 2);
    int labelsTop = replaceTop + (replaceBottom - replaceTop - 2 * lineHeight) / 2;
    labelsTop = std::max(roomTop, std::min(labelsTop, roomBottom - 2 * lineHeight));
    place(ReplaceLabel, m.s(8), labelsTop, labelWidth, lineHeight);
    place(OrInsertLabel, m.s(8), labelsTop + lineHeight, orInsertWidth, lineHeight);
    place(ToLabel, m.s(8) + orInsertWidth + space, labelsTop + lineHeight, toWidth, lineHeight);
    place(SearchButtonsRow, m.s(6), buttonsTop, w - m.s(16), m.s(26));
}

void TFind::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    applyWidthRules();
    // The user's height while the list is shown becomes the normal height.
    if (!composing_ && !layingOut_ && listVisible() && windowState() == Qt::WindowNoState)
        state_.normalHeight = height();
}

}  // namespace vsr::ui
