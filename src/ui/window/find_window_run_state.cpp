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

void TFind::setTabHeadersVisible(engine::Tab runTab, bool visible) {
    const QWidget* keep = runTab == engine::Tab::Find ? FindTab : SearchReplaceTab;
    for (QWidget* page : {FindTab, SearchReplaceTab, OptionsTab})
        if (page != keep) PageControl1->setTabVisible(PageControl1->indexOf(page), visible);
}

void TFind::beginRunState(engine::Tab tab) {
    const bool find = tab == engine::Tab::Find;
    // The controls that feed the run stay as they are until its end.
    rules::WindowInputs in = ruleInputs(rules::Change::RunBegins);
    in.runTab = tab;
    applyControlStates(rules::controlStates(in), tab);

    // Height: the list is shown, the window may grow; a maximized window keeps the screen.
    const bool multi = find ? findQueryView() == QueryView::MultiLine : false;
    const int page = find ? (multi ? px::kFindMultiLinePage : px::kFindOneLinePage) : px::kSearchReplacePage;
    const bool wasHidden = !listVisible();
    state_.busy = true;
    list_.busy = true;
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
    rules::WindowInputs in = ruleInputs(rules::Change::RunEnds);
    in.runTab = tab;
    applyControlStates(rules::controlStates(in), tab);
    // What the run said last is what the panels show after it.
    showPendingStatus();
    state_.busy = false;
    list_.busy = false;
    Animate1->stop();
}

}  // namespace vsr::ui
