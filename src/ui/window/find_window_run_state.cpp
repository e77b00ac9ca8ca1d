// The begin-of-run and end-of-run states of both tabs: which controls a run disables so
// the conditions stay constant, and how the window comes back afterwards.
#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

#include "ui/widgets/busy_indicator.h"
#include "ui/window/find_window.h"
#include "ui/lines/lines_viewer.h"

namespace vsr::ui {

namespace {

void enable(std::initializer_list<QWidget*> widgets, bool on) {
    for (QWidget* w : widgets)
        if (w) w->setEnabled(on);
}

// Escape stops a run and is nothing else's then; at rest it stays with the controls.
void setStopKeyLive(QWidget* window, bool on) {
    if (auto* key = window->findChild<QAction*>(QStringLiteral("StopKey"), Qt::FindDirectChildrenOnly))
        key->setEnabled(on);
}

void enableGroup(QButtonGroup* group, bool on) {
    for (QAbstractButton* b : group->buttons()) b->setEnabled(on);
}

}  // namespace

void TFind::setTabHeadersVisible(engine::Tab runTab, bool visible) {
    const QWidget* keep = runTab == engine::Tab::Find ? FindTab : SearchReplaceTab;
    for (QWidget* page : {FindTab, SearchReplaceTab, OptionsTab})
        if (page != keep) PageControl1->setTabVisible(PageControl1->indexOf(page), visible);
}

void TFind::beginRunState(engine::Tab tab) {
    const bool find = tab == engine::Tab::Find;
    // The top panel feeds every run.
    enable({MasksComboBox, ComboBoxPath, Button1, PathLabel, MasksLabel, SensitiveCheckBox, WholeWordsCheckBox,
            ListXPCheckBox},
           false);
    commands_.setAllowed(Command::ModifySelected, false);
    commands_.setAllowed(Command::DeleteItems, false);
    disableLineCommands();
    for (QMenu* menu : {FileMenu, HelpMenu, ProjectMenu, ReportMenu}) menu->menuAction()->setEnabled(false);
    commands_.setSuspended(true);
    setTabHeadersVisible(tab, false);
    state_.undoWasEnabled = commands_.allowed(Command::Undo);
    commands_.setAllowed(Command::Undo, false);
    if (find) {
        enable({FindBit, ClearFindBit, FindEditComboBox, FindMemo, TypeLabel, QueryLabel, ClearSearchBit}, false);
        enableGroup(QueryTypeGroup, false);
        StopFindBit->setEnabled(true);
    } else {
        enable({SearchSpeedButton, ClearSearchBit, SearchEdit, SearchMemo, Edit2, Memo2, SearchLabel, ToLabel,
                ReplaceLabel, OrInsertLabel},
               false);
        enableGroup(SearchTypeGroup, false);
        enableGroup(ModificationTypeGroup, false);
        commands_.setAllowed(Command::ModifyAll, false);
        StopSearch->setEnabled(true);
    }

    // Height: the list is shown, the window may grow; a maximized window keeps the screen.
    const bool multi = find ? findQueryView() == QueryView::MultiLine : false;
    const int page = find ? (multi ? px::kFindMultiLinePage : px::kFindOneLinePage) : px::kSearchReplacePage;
    const bool wasHidden = !listVisible();
    state_.busy = true;
    list_.busy = true;
    setStopKeyLive(this, true);
    if (!state_.listClearedForRun) {
        showPendingStatus();
        StatusPanel[0]->clear();
        StatusPanel[1]->clear();
        Animate1->start();
        if (wasHidden) {
            // A list that was hidden starts small, so the first rows appear without a jump.
            const int saved = state_.listHeight;
            setListLayout(page);
            Splitter1->setSizes({metrics_.s(px::kStartListHeight), std::max(1, Splitter1->height())});
            state_.listHeight = saved;
        } else {
            setListLayout(page);
        }
        pumpMessages();
        ListBox1->clear();
        state_.listClearedForRun = true;
        pumpMessages();
        if (wasHidden && state_.listHeight > 0) {
            const int total = Splitter1->height();
            Splitter1->setSizes({std::min(state_.listHeight, std::max(0, total - metrics_.s(20))),
                                 std::max(1, total - state_.listHeight)});
        }
    } else {
        setListLayout(page);
    }
}

void TFind::endRunState(engine::Tab tab) {
    const bool find = tab == engine::Tab::Find;
    const bool rows = listHasRows();
    enable({MasksComboBox, SensitiveCheckBox, WholeWordsCheckBox, Button1, PathLabel, MasksLabel}, true);
    ListXPCheckBox->setEnabled(rows);
    setPathEnabled(!(ListXPCheckBox->isChecked() && rows));
    for (QMenu* menu : {FileMenu, HelpMenu, ProjectMenu, ReportMenu}) menu->menuAction()->setEnabled(true);
    commands_.setSuspended(false);
    // What the run said last is what the panels show after it.
    showPendingStatus();
    state_.busy = false;
    list_.busy = false;
    setStopKeyLive(this, false);
    setTabHeadersVisible(tab, true);
    if (find) {
        enable({FindBit, ClearFindBit, FindEditComboBox, FindMemo, TypeLabel, QueryLabel}, true);
        enableGroup(QueryTypeGroup, true);
        StopFindBit->setEnabled(false);
        // The other tab's Hide List was switched off with the run; it follows the list again.
        ClearSearchBit->setEnabled(listVisible());
    } else {
        enable({SearchSpeedButton, SearchEdit, SearchMemo, Edit2, Memo2, SearchLabel}, true);
        enableGroup(SearchTypeGroup, true);
        enableGroup(ModificationTypeGroup, true);
        StopSearch->setEnabled(false);
        ClearSearchBit->setEnabled(rows && listVisible());
        if (rows && listVisible()) {
            commands_.setAllowed(Command::DeleteItems, rowSelected());
            if (modificationType() != engine::ModificationType::None && !run_.conditionsChanged &&
                foundColumnExists()) {
                commands_.setAllowed(Command::ModifySelected, rowSelected());
                commands_.setAllowed(Command::ModifyAll, true);
            }
        }
        ReplaceSpacesButton->setEnabled(searchType() != engine::SearchType::RegExpr);
    }
    // The replacement fields and their labels follow the modification type again.
    const engine::ModificationType m = modificationType();
    const bool takesText = m == engine::ModificationType::Replace || m == engine::ModificationType::InsertBefore ||
                           m == engine::ModificationType::InsertAfter;
    enable({Edit2, Memo2, ToLabel, ReplaceLabel, OrInsertLabel}, takesText);
    if (state_.undoWasEnabled) commands_.setAllowed(Command::Undo, true);
    Animate1->stop();
}

}  // namespace vsr::ui
