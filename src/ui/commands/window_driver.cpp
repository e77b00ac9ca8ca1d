#include "ui/commands/window_driver.h"

#include <QTimer>

#include "ui/common/app_info.h"
#include "ui/lines/lines_viewer.h"
#include "ui/list/list_commands.h"

namespace vsr::ui {

bool WindowDriver::stopRequested() { return w_.runState().stop; }

bool WindowDriver::userIntervened() { return w_.state().userIntervention; }

void WindowDriver::requestStop() { w_.runState().stop = true; }

void WindowDriver::setField(project::RunField field, const std::string& text) { w_.setRunField(field, text); }

void WindowDriver::runSearch() {
    showSearchReplaceTab();
    w_.FindButtonClick();
}

void WindowDriver::modifyAll() {
    // An empty list has nothing to modify; the command itself would not be enabled.
    if (!w_.listHasRows()) return;
    w_.commands().invoke(Command::ModifyAll);
}

void WindowDriver::showMessage(const std::string& text, engine::MessageIcon icon) {
    if (messages_) messages_->messageBox(kProgramTitle, text, icon);
    else w_.prompter().messageBox(kProgramTitle, text, icon);
}

void WindowDriver::showSearchReplaceTab() { w_.showTab(engine::Tab::SearchAndReplace); }

project::RunFields WindowDriver::runFields() { return w_.runFields(); }

bool WindowDriver::pathIsFolder() { return w_.pathIsFolder(); }

void WindowDriver::deselectRow() {
    w_.results().deselectAll();
    w_.listSelectionChanged();
}

void WindowDriver::refreshIdleState() { w_.ApplicationEvents1Idle(); }

bool WindowDriver::saveList(const std::string& file, const std::string& commandLine) {
    return w_.listCommands().saveListTo(file, commandLine);
}

std::vector<std::string> WindowDriver::failedFiles() {
    std::vector<std::string> out;
    const results::ResultList& list = w_.results();
    for (std::size_t i = 0; i < list.count(); ++i) {
        if (list.row(i).status != results::RowStatus::FailedModification) continue;
        const std::string why = w_.modificationFailure(i);
        out.push_back(list.row(i).fullName() + ": Failed Modification" + (why.empty() ? "" : ": " + why));
    }
    return out;
}

void WindowDriver::closeWindow() { QTimer::singleShot(0, &w_.windowWidget(), &QWidget::close); }

engine::SearchType WindowDriver::searchType() { return w_.searchType(); }

void WindowDriver::deselectAfterStop() {
    deselectRow();
    w_.commands().setAllowed(Command::ModifySelected, false);
    w_.commands().setAllowed(Command::DeleteItems, false);
}

void WindowDriver::clearLinesViewer() {
    w_.linesViewer()->clear();
    w_.results().browsedIndex = -1;
}

void WindowDriver::setLinesViewerPainting(bool on) { w_.linesViewer()->setUpdatesEnabled(on); }

}  // namespace vsr::ui
