#include "ui/commands/window_driver.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QCheckBox>
#include <QTimer>
#include <filesystem>

#include "ui/common/app_info.h"
#include "ui/lines/lines_viewer.h"
#include "ui/list/list_commands.h"
#include "ui/common/typed_text.h"

namespace vsr::ui {

bool WindowDriver::stopRequested() { return w_.runState().stop; }

bool WindowDriver::userIntervened() { return w_.state().userIntervention; }

void WindowDriver::requestStop() { w_.runState().stop = true; }

void WindowDriver::setField(project::RunField field, const std::string& text) {
    switch (field) {
    case project::RunField::SearchEdit: w_.setComboText(w_.searchCombo(), text); break;
    case project::RunField::Edit2: w_.setComboText(w_.replaceCombo(), text); break;
    case project::RunField::SearchMemo: w_.setMemoText(w_.searchMemo(), text); break;
    case project::RunField::Memo2: w_.setMemoText(w_.replaceMemo(), text); break;
    case project::RunField::Path: w_.setComboText(w_.pathCombo(), text); break;
    case project::RunField::Masks: w_.setComboText(w_.masksCombo(), text); break;
    }
}

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

void WindowDriver::showSearchReplaceTab() {
    if (w_.pages()->currentWidget() != w_.searchReplaceTab()) w_.pages()->setCurrentWidget(w_.searchReplaceTab());
}

project::RunFields WindowDriver::runFields() {
    project::RunFields f;
    f.path = w_.pathCombo()->currentText().toStdString();
    f.masks = w_.masksCombo()->currentText().toStdString();
    f.searchType = w_.searchType();
    if (w_.modificationTypeGroup()->checkedId() >= 0) f.modificationType = w_.modificationType();
    f.searchEdit = w_.searchCombo()->currentText().toStdString();
    f.edit2 = w_.replaceCombo()->currentText().toStdString();
    f.searchMemo = w_.searchMemo()->toPlainText().toStdString();
    f.memo2 = w_.replaceMemo()->toPlainText().toStdString();
    return f;
}

bool WindowDriver::pathIsFolder() {
    if (w_.searchInResultsBox()->isChecked() && w_.searchInResultsBox()->isEnabled()) return true;
    std::error_code ec;
    return std::filesystem::is_directory(fileSystemName(w_.pathCombo()->currentText().trimmed()), ec);
}

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
