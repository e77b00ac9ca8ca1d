#include "ui/commands/window_modify.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "ui/lines/lines_viewer.h"
#include "ui/lines/lines_browser.h"
#include "ui/lines/lines_previewer.h"
#include "ui/lines/lines_review.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"

namespace vsr::ui {

namespace {

// The narrowest Result column that shows "Failed Undo", at 96 dots per inch.
constexpr int kFailedUndoWidth = 70;

}  // namespace

WindowModify::WindowModify(WindowModifyHost& window, Services services)
    : QObject(&window.windowWidget()),
      w_(window),
      services_(services),
      driver_(engine::ModifyEnv{services.files, services.attributes, services.clock}, window.searchSink(), window.runControl(),
              window.results(), this),
      eraser_(services.fileSystem, services.files, services.clock, window.searchSink(), window.runControl()) {
    CommandSet& commands = w_.commands();
    commands.setHandler(Command::ModifySelected, [this] { ReplaceInFileBit1Click(); });
    commands.setHandler(Command::ModifyAll, [this] { ReplaceAllBit1Click(); });
    commands.setHandler(Command::Undo, [this] { UndoReplaceBitClick(); });
    commands.setHandler(Command::EraseBackups, [this] { EraseBackupBit1Click(); });
    // Only the user's click counts: loading settings or a project sets the box without
    // making the list stale.
    w_.onBackupsClicked(this, [this](bool checked) { CreatBackupCheckBoxClick(checked); });
    services_.browser.undoAvailable = [this] {
        return w_.backupsChosen() && driver_.undoEnabled() && !driver_.undoList().empty();
    };
}

WindowModify::~WindowModify() = default;

void WindowModify::ReplaceInFileBit1Click() { modify(engine::ModifyScope::Selected); }

void WindowModify::ReplaceAllBit1Click() { modify(engine::ModifyScope::All); }

void WindowModify::modify(engine::ModifyScope scope) {
    // A run pumps messages; a second command from inside it would rewrite the list underneath.
    if (w_.mutableState().busy) return;
    w_.mutableState().listPopupBlocked = true;
    w_.clearStatus(1);
    const bool saveList = w_.commands().allowed(Command::SaveList);
    // The list may be modified only while the controls still hold the conditions it was built
    // with, so the controls are the run's conditions.
    TextRefusals refused;
    const engine::SearchConditions conditions = w_.currentConditions(engine::Tab::SearchAndReplace, &refused);
    if (!refused.query.empty() || !refused.replacement.empty()) {
        // Nothing is written that the user did not type.
        w_.prompter().messageBox("Modify", refused.query.empty() ? refused.replacement : refused.query,
                                 engine::MessageIcon::Exclamation);
        w_.mutableState().listPopupBlocked = false;
        return;
    }
    // Files are read and modified ahead on as many threads as a search uses.
    driver_.setThreads(w_.settingsDialogs().settings().searchThreads());
    // The replacements the user turned off stay as they are; a file with none kept is left alone.
    LinesReview* review = services_.browser.previewer ? &services_.browser.previewer->review() : nullptr;
    driver_.setEditChoice(review ? review->runChoice(conditions) : nullptr);
    driver_.Modify(scope, conditions, w_.settingsDialogs().modifyOptions());
    driver_.setEditChoice(nullptr);
    if (review) review->afterRun();
    afterRun(saveList);
}

void WindowModify::UndoReplaceBitClick() {
    if (w_.mutableState().busy || !driver_.undoEnabled()) return;
    w_.mutableState().listPopupBlocked = true;
    const bool saveList = w_.commands().allowed(Command::SaveList);
    driver_.UndoReplaceBitClick();
    afterRun(saveList);
}

void WindowModify::EraseBackupBit1Click() {
    if (w_.mutableState().busy) return;
    // An empty path only brings the message; everything else stays as it was.
    const bool pathGiven = w_.pathGiven();
    const bool selectedWas = w_.commands().allowed(Command::ModifySelected);
    const bool allWas = w_.commands().allowed(Command::ModifyAll);
    const bool saveList = w_.commands().allowed(Command::SaveList);
    if (pathGiven) driver_.disableUndo();
    engine::SearchConditions conditions = w_.currentConditions(w_.activeTab());
    eraser_.EraseBackupBit1Click(conditions);
    if (w_.mutableState().busy) w_.endRunState(conditions.tab);
    if (!pathGiven) return;
    // The walk does not change the list: the modify commands get back what they had.
    const bool rows = w_.listHasRows() && w_.listVisible();
    w_.commands().setAllowed(Command::ModifySelected, rows && selectedWas && w_.rowSelected());
    w_.commands().setAllowed(Command::ModifyAll, rows && allWas);
    afterRun(saveList);
}

void WindowModify::CreatBackupCheckBoxClick(bool checked) {
    // The search leaves ".bak" files out only with backups on, so the list no longer matches.
    w_.SearchTextChange();
    if (!checked) driver_.disableUndo();
}

void WindowModify::afterRun(bool saveListAllowed) {
    if (w_.mutableState().busy) w_.endRunState(engine::Tab::SearchAndReplace);
    // The running state switched Save List off for the run; the list's rows are still there.
    w_.commands().setAllowed(Command::SaveList, saveListAllowed && w_.listHasRows());
    if (w_.listHasRows()) w_.mutableState().listPopupBlocked = false;
    w_.commandRunEnded();
}

// --- engine::ModifyViews ---

void WindowModify::setUndoEnabled(bool on) { w_.commands().setAllowed(Command::Undo, on); }

void WindowModify::clearLinesViewer() {
    w_.linesViewer()->clear();
    w_.results().browsedIndex = -1;
}

void WindowModify::setLinesViewerPainting(bool on) { w_.linesViewer()->setUpdatesEnabled(on); }

void WindowModify::fillSilent(std::size_t row) {
    if (row >= w_.results().count()) return;
    services_.browser.fillRow(row, engine::FillPurpose::Silent);
}

void WindowModify::scrollRowIntoView(std::size_t row) { w_.scrollRowIntoView(row); }

void WindowModify::widenResultColumn() { w_.widenColumn(results::Column::Result, kFailedUndoWidth); }

}  // namespace vsr::ui
