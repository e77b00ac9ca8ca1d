#include "ui/lines/lines_browser.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <utility>
#include <vector>

#include "ui/widgets/expression_selection.h"
#include "ui/lines/lines_previewer.h"
#include "ui/lines/lines_viewer.h"

namespace vsr::ui {

namespace {
// The pause after the window went idle before the selected row is shown.
constexpr int kBrowseDelayMs = 35;

const Command kMarkCommands[] = {Command::MarkFrom,          Command::MarkTo,           Command::MarkAllBrowsed,
                                 Command::MarkAllSelected,   Command::MarkAllListed,    Command::UnmarkAllBrowsed,
                                 Command::UnmarkAllSelected, Command::UnmarkAllListed};
}  // namespace

// What the light running state of a Browse fill switched off, to be put back afterwards.
struct LinesBrowser::SavedState {
    std::vector<std::pair<QWidget*, bool>> widgets;
    std::vector<std::pair<QAction*, bool>> actions;
    std::vector<std::pair<Command, bool>> commands;
};

LinesBrowser::LinesBrowser(LinesBrowserHost& window, engine::SearchEnv env)
    : QObject(&window.windowWidget()), w_(window), env_(env), marker_(window.results()) {
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(kBrowseDelayMs);
    connect(timer_, &QTimer::timeout, this, &LinesBrowser::browseDue);

    LinesViewer* viewer = w_.linesViewer();
    viewer_ = viewer;
    viewer->setDotsPerInch(w_.metrics().dpi());
    viewer->markedInterval = [this] { return markedInterval(); };
    connect(viewer, &LinesViewer::currentChanged, this, [this] { showIntervalStatus(); });
    connect(viewer, &LinesViewer::entryActivated, this, &LinesBrowser::activateEntry);
    connect(w_.resultsView()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LinesBrowser::scheduleBrowse);
    w_.onTabChanged(this, [this] {
        showIntervalStatus();
        w_.linesViewer()->viewport()->update();
    });
    for (QMenu* menu : {w_.fileMenu(), w_.listPopupMenu(), w_.linesPopupMenu()})
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { updateIntervalMenus(menu); });

    CommandSet& c = w_.commands();
    c.setHandler(Command::MarkFrom, [this] { ModificationFrom1Click(); });
    c.setHandler(Command::MarkTo, [this] { ModificationTo1Click(); });
    c.setHandler(Command::MarkAllBrowsed, [this] { ForBrowsedFile1Click(); });
    c.setHandler(Command::MarkAllSelected, [this] { ForSelectedFiles3Click(); });
    c.setHandler(Command::MarkAllListed, [this] { ForListedFiles1Click(); });
    c.setHandler(Command::UnmarkAllBrowsed, [this] { ForBrowsedFile2Click(); });
    c.setHandler(Command::UnmarkAllSelected, [this] { ForSelectedFile1Click(); });
    c.setHandler(Command::UnmarkAllListed, [this] { ForListedFiles2Click(); });

    // The File menu's "Mark &All" entries carry no access keys.
    if (QMenu* markAll = w_.markAllMenu()) {
        for (QAction* a : markAll->actions()) {
            if (a->objectName() == QLatin1String("ForBrowsedFile1")) a->setText(QStringLiteral("For Browsed File"));
            if (a->objectName() == QLatin1String("ForSelectedFiles3")) a->setText(QStringLiteral("For Selected Files"));
            if (a->objectName() == QLatin1String("ForListedFiles1")) a->setText(QStringLiteral("For All Listed Files"));
        }
    }
    qApp->installEventFilter(this);
}

LinesBrowser::~LinesBrowser() {
    qApp->removeEventFilter(this);
    if (viewer_) viewer_->markedInterval = nullptr;
    delete saved_;
}

bool LinesBrowser::windowAlive() const { return viewer_ && w_.resultsView() && w_.resultsView()->model() != nullptr; }

bool LinesBrowser::eventFilter(QObject* watched, QEvent* event) {
    // The window goes idle after every burst of input: look at the selection then.
    const QEvent::Type t = event->type();
    if (t == QEvent::MouseButtonRelease || t == QEvent::KeyRelease) {
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window() == &w_.windowWidget())
            scheduleBrowse();
    }
    return false;
}

void LinesBrowser::scheduleBrowse() {
    if (!windowAlive()) return;
    if (filling_ || held_) {
        // The running fill sees the new selection itself and ends; browse again afterwards.
        browseAgain_ = true;
        return;
    }
    timer_->start();
}

bool LinesBrowser::browsePending() const { return timer_->isActive(); }

long long LinesBrowser::rowToBrowse() const {
    const results::ResultList& list = w_.results();
    long long row = list.currentIndex;
    if (row < 0 || row >= static_cast<long long>(list.count()) || !list.row(static_cast<std::size_t>(row)).selected)
        row = list.firstSelected();
    return row;
}

void LinesBrowser::browseDue() {
    if (!windowAlive() || filling_ || held_ || w_.state().busy || !w_.listVisible()) return;
    const long long row = rowToBrowse();
    LinesViewer* viewer = w_.linesViewer();
    if (row < 0) {
        showIntervalStatus();
        return;
    }
    const results::ResultItem& item = w_.results().row(static_cast<std::size_t>(row));
    if (viewer->hasLines() && viewer->content().browsedFullName == item.fullName() &&
        viewer->content().browsedRow == row && !previewOutdated()) {
        showIntervalStatus();
        return;
    }
    fillRow(static_cast<std::size_t>(row), engine::FillPurpose::Browse);
}

engine::FillResult LinesBrowser::fillRow(std::size_t row, engine::FillPurpose purpose) {
    results::ResultList& list = w_.results();
    engine::FillResult none;
    none.end = engine::FillEnd::Superseded;
    if (row >= list.count() || filling_ || held_) return none;
    const results::ResultItem item = list.row(row);
    list.browsedIndex = static_cast<long long>(row);
    list.browsedPath = item.path;
    list.browsedName = item.name;
    TextRefusals refused;
    const engine::SearchConditions conditions = w_.currentConditions(w_.activeTab(), &refused);
    w_.linesViewer()->setTextEncoding(conditions.textEncoding);
    // A query the encoding cannot hold lists nothing rather than lines of something else; the
    // next Find or Search says why.
    if (!refused.query.empty()) {
        w_.linesViewer()->clear();
        list.browsedIndex = -1;
        none.end = engine::FillEnd::QueryRefused;
        return none;
    }
    filling_ = true;
    fillPurpose_ = purpose;
    browseAgain_ = false;
    editAfterFill_ = false;
    engine::FillResult r = engine::FillLinesViewer(conditions, env_, w_.searchSink(), w_.runControl(), w_.results(),
                                                   w_.linesViewer()->content(),
                                                   {item.path, item.name, static_cast<long long>(row), purpose}, this);
    filling_ = false;
    const bool edit = std::exchange(editAfterFill_, false);
    // The stop that a double click asked for must not outlive the fill it was meant for.
    if (edit && r.end != engine::FillEnd::Stopped) w_.runState().stop = false;
    w_.linesViewer()->contentChanged();
    if (!windowAlive()) return r;
    // Stop before the fill let go of the rows from the first selected one on, which are all the
    // selected rows: the view follows.
    if (r.end == engine::FillEnd::StopPending && w_.resultsView()->selectionModel())
        w_.resultsView()->selectionModel()->clearSelection();
    marker_.refreshBrowsed();
    showIntervalStatus();
    if (browseAgain_ || r.end == engine::FillEnd::Superseded) {
        browseAgain_ = false;
        timer_->start();
    }
    if (edit) w_.commands().trigger(Command::EditFile);
    return r;
}

void LinesBrowser::activateEntry() {
    if (held_) return;
    if (!filling_) {
        w_.commands().trigger(Command::EditFile);
        return;
    }
    // Whatever Edit File shows must not open over the running fill: a Browse fill is ended as
    // Stop would, and the edit follows; a fill inside another run lets the click pass.
    if (fillPurpose_ != engine::FillPurpose::Browse) return;
    editAfterFill_ = true;
    w_.runState().stop = true;
}

void LinesBrowser::fillStarting(engine::FillPurpose purpose) {
    if (purpose == engine::FillPurpose::Browse) {
        // Asked before the running state takes the Modify commands away for the fill.
        previewWanted_ = previewer && previewer->wanted();
        enterRunningState();
        return;
    }
    // A fill made for another command reads the file that Undo would put back; Undo waits for
    // the next Browse fill.
    CommandSet& c = w_.commands();
    if (!c.allowed(Command::Undo)) return;
    c.setAllowed(Command::Undo, false);
    undoNote_ = c.offCount(Command::Undo);
    ownUndoOffs_ = 0;
}

void LinesBrowser::setUndoAllowed(bool on) {
    if (!on && undoNote_) ++ownUndoOffs_;
    w_.commands().setAllowed(Command::Undo, on);
}

void LinesBrowser::restoreNotedUndo() {
    if (!undoNote_) return;
    CommandSet& c = w_.commands();
    // Hiding the list, deleting rows, a new run or turning backups off switched Undo off for
    // good since the note was taken: it stays off.
    const bool untouched = c.offCount(Command::Undo) == *undoNote_ + ownUndoOffs_;
    undoNote_.reset();
    ownUndoOffs_ = 0;
    if (untouched && undoAvailable && undoAvailable()) c.setAllowed(Command::Undo, true);
}

bool LinesBrowser::previewOutdated() {
    if (!previewer) return false;
    const std::uint64_t shown = w_.linesViewer()->content().revision();
    if (previewer->wanted()) return previewedRevision_ != shown;
    if (previewedRevision_ != 0) {
        previewedRevision_ = 0;
        previewer->drop();
        w_.clearStatus(1);
    }
    return false;
}

void LinesBrowser::fillEnded(const engine::FillResult& result) {
    // The preview runs inside the Browse fill's running state, under its Stop and selection rules.
    previewedRevision_ = 0;
    if (previewer) previewer->clear();
    if (result.purpose == engine::FillPurpose::Browse && previewer) {
        const bool wanted = std::exchange(previewWanted_, false);
        if (wanted && result.end == engine::FillEnd::Done) {
            const long long row = w_.linesViewer()->content().browsedRow;
            if (row >= 0) previewer->preview(static_cast<std::size_t>(row));
            previewedRevision_ = w_.linesViewer()->content().revision();
        } else if (!wanted) {
            // No preview, no boxes: the list's checks stay only for what is turned off.
            previewer->drop();
        }
    }
    if (result.purpose == engine::FillPurpose::Browse || saved_) leaveRunningState();
    if (result.purpose == engine::FillPurpose::Browse) restoreNotedUndo();
    if (result.purpose == engine::FillPurpose::Silent) return;
    if (result.end == engine::FillEnd::Done || result.end == engine::FillEnd::Stopped) {
        CommandSet& c = w_.commands();
        for (Command cmd : {Command::EditFile, Command::BrowseContext, Command::ExecuteFile}) c.setAllowed(cmd, true);
        c.setAllowed(Command::SaveLines, w_.linesViewer()->hasLines());
    }
}

void LinesBrowser::entriesAdded() { w_.linesViewer()->contentChanged(); }

void LinesBrowser::selectExpressionCharacter(engine::Tab tab, int position) {
    w_.selectQueryCharacter(tab, position);
}

void LinesBrowser::enterRunningState() {
    delete saved_;
    saved_ = new SavedState;
    // Nothing that starts another run or changes the list may act while the fill pumps; the
    // list itself stays clickable, so selecting another row ends the fill.
    for (QWidget* widget : w_.runStarters()) {
        saved_->widgets.emplace_back(widget, widget->isEnabled());
        widget->setEnabled(false);
    }
    for (QMenu* menu : w_.runMenus()) {
        saved_->actions.emplace_back(menu->menuAction(), menu->menuAction()->isEnabled());
        menu->menuAction()->setEnabled(false);
    }
    CommandSet& c = w_.commands();
    for (Command cmd : {Command::ModifyAll, Command::ModifySelected, Command::DeleteItems, Command::Undo,
                        Command::EditFile, Command::BrowseContext, Command::SaveLines, Command::ExecuteFile}) {
        saved_->commands.emplace_back(cmd, c.allowed(cmd));
        if (cmd == Command::Undo) setUndoAllowed(false);
        else c.setAllowed(cmd, false);
    }
    QAbstractButton* stop = w_.stopButton(w_.activeTab());
    saved_->widgets.emplace_back(stop, stop->isEnabled());
    stop->setEnabled(true);
    if (QAction* key = w_.stopKey()) {
        saved_->actions.emplace_back(key, key->isEnabled());
        key->setEnabled(true);
    }
}

void LinesBrowser::beginPumpedWork() {
    if (held_ || filling_) return;
    held_ = true;
    timer_->stop();
    browseAgain_ = false;
    enterRunningState();
}

void LinesBrowser::endPumpedWork() {
    if (!held_) return;
    leaveRunningState();
    held_ = false;
    if (std::exchange(browseAgain_, false) && windowAlive()) timer_->start();
}

void LinesBrowser::leaveRunningState() {
    if (!saved_) return;
    for (auto [widget, on] : saved_->widgets) widget->setEnabled(on);
    for (auto [action, on] : saved_->actions) action->setEnabled(on);
    for (auto [cmd, on] : saved_->commands) {
        if (cmd == Command::Undo) setUndoAllowed(on);
        else w_.commands().setAllowed(cmd, on);
    }
    delete saved_;
    saved_ = nullptr;
}

bool LinesBrowser::listModifiable() const {
    // The same test as the Result column's interval display, so the marks, the menus and the
    // column always agree.
    const results::ResultList& list = w_.results();
    if (w_.commands().allowed(Command::ModifyAll)) return true;
    return list.tab == results::ListTab::SearchAndReplace && !w_.runState().conditionsChanged;
}

bool LinesBrowser::intervalsInEffect() const { return w_.intervalsInUse() && listModifiable(); }

std::optional<results::ModificationInterval> LinesBrowser::markedInterval() const {
    const results::ResultList& list = w_.results();
    if (w_.onOptionsTab() || w_.activeTab() != engine::Tab::SearchAndReplace || !intervalsInEffect()) return {};
    if (list.browsedIndex < 0 || list.browsedIndex >= static_cast<long long>(list.count())) return {};
    return list.row(static_cast<std::size_t>(list.browsedIndex)).interval;
}

void LinesBrowser::showIntervalStatus() {
    if (!windowAlive() || w_.state().busy) return;
    // The preview's count stands beside the interval, or alone.
    const QString preview = previewer && previewedRevision_ != 0 ? previewer->statusText() : QString();
    std::string text;
    if (intervalsInEffect()) {
        marker_.refreshBrowsed();
        if (!w_.onOptionsTab() && w_.activeTab() == engine::Tab::SearchAndReplace &&
            w_.commands().allowed(Command::ModifyAll) && w_.linesViewer()->count() >= 2)
            text = engine::intervalStatusText(marker_.browsed);
    }
    if (!preview.isEmpty()) text += (text.empty() ? "" : "    ") + preview.toStdString();
    if (!text.empty()) w_.setStatusText(engine::kPathPanel, text);
}

void LinesBrowser::updateIntervalMenus(QMenu* menu) {
    const results::ResultList& list = w_.results();
    const LinesViewer* viewer = w_.linesViewer();
    engine::IntervalMenuInputs in;
    in.searchReplaceTab = !w_.onOptionsTab() && w_.activeTab() == engine::Tab::SearchAndReplace;
    in.intervalsInUse = w_.intervalsInUse();
    in.listModifiable = listModifiable();
    in.inEffect = in.intervalsInUse && in.listModifiable;
    in.listVisible = w_.listVisible();
    in.viewerVisible = viewer->isVisible();
    in.viewerEntries = viewer->content().count();
    in.lineEntrySelected = viewer->content().isLineEntry(viewer->currentIndex());
    in.rows = list.count();
    in.selectedRows = list.selectedCount();
    const engine::IntervalMenuState s = engine::intervalMenuState(in);
    CommandSet& c = w_.commands();
    if (menu == w_.linesPopupMenu()) {
        c.setAllowed(Command::MarkFrom, s.popupMarkFromTo);
        c.setAllowed(Command::MarkTo, s.popupMarkFromTo);
        for (Command cmd : kMarkCommands)
            if (cmd != Command::MarkFrom && cmd != Command::MarkTo) c.setAllowed(cmd, s.popupMarkAll);
        for (const char* name : {"MarkFrom3", "MarkTo3", "MarkAll3", "UnmarkAll3"})
            for (QAction* a : menu->actions())
                if (a->objectName() == QLatin1String(name)) a->setVisible(s.popupVisible);
        return;
    }
    c.setAllowed(Command::MarkFrom, s.fileMarkFromTo);
    c.setAllowed(Command::MarkTo, s.fileMarkFromTo);
    c.setAllowed(Command::MarkAllBrowsed, s.fileForBrowsed);
    c.setAllowed(Command::UnmarkAllBrowsed, s.fileForBrowsed);
    c.setAllowed(Command::MarkAllSelected, s.fileForSelected);
    c.setAllowed(Command::UnmarkAllSelected, s.fileForSelected);
    c.setAllowed(Command::MarkAllListed, s.fileForListed);
    c.setAllowed(Command::UnmarkAllListed, s.fileForListed);
    const char* submenu = menu == w_.fileMenu() ? "ModifyInterval1" : "ModifyInterval2";
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(submenu)) a->setEnabled(s.submenuEnabled);
}

void LinesBrowser::afterMarking() {
    w_.linesViewer()->viewport()->update();
    w_.resultsView()->viewport()->update();
    showIntervalStatus();
}

void LinesBrowser::ModificationFrom1Click() {
    if (!intervalsInEffect()) return;
    if (marker_.markFrom(w_.linesViewer()->content(), w_.linesViewer()->currentIndex())) afterMarking();
}

void LinesBrowser::ModificationTo1Click() {
    if (!intervalsInEffect()) return;
    if (marker_.markTo(w_.linesViewer()->content(), w_.linesViewer()->currentIndex())) afterMarking();
}

void LinesBrowser::setWhole(engine::MarkScope scope, bool all) {
    if (!intervalsInEffect()) return;
    if (marker_.setWhole(scope, all, w_.intervalsInUse(), listModifiable())) afterMarking();
}

void LinesBrowser::ForBrowsedFile1Click() { setWhole(engine::MarkScope::Browsed, true); }
void LinesBrowser::ForSelectedFiles3Click() { setWhole(engine::MarkScope::Selected, true); }
void LinesBrowser::ForListedFiles1Click() { setWhole(engine::MarkScope::Listed, true); }
void LinesBrowser::ForBrowsedFile2Click() { setWhole(engine::MarkScope::Browsed, false); }
void LinesBrowser::ForSelectedFile1Click() { setWhole(engine::MarkScope::Selected, false); }
void LinesBrowser::ForListedFiles2Click() { setWhole(engine::MarkScope::Listed, false); }

}  // namespace vsr::ui
