#include "ui/prompt/dialog_prompter.h"

#include <QFileDialog>

#include "ui/prompt/file_prompter.h"

namespace vsr::ui {

std::unique_ptr<QFileDialog> programOpenDialog(QWidget* parent, const std::string& startFolder) {
    auto dialog = std::make_unique<QFileDialog>(parent, QStringLiteral("Open"), QString::fromStdString(startFolder));
    dialog->setObjectName(QStringLiteral("EditorOpenDialog"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // A program here has no extension, so a typed name gets none added, and a typed link to
    // the program stays the link the user named.
    dialog->setOption(QFileDialog::DontResolveSymlinks);
    const QStringList filters = qtNameFilters("Exe Files [*.exe]|*.exe|All Files [*.*]|*");
    dialog->setNameFilters(filters);
    dialog->selectNameFilter(filters.last());
    return dialog;
}

std::string QtDialogPrompter::openProgram(const std::string& startFolder) {
    const std::unique_ptr<QFileDialog> dialog = programOpenDialog(parent_, startFolder);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().first().toStdString();
}

std::string QtDialogPrompter::selectFolder(const std::string& title, const std::string& startFolder) {
    return QFileDialog::getExistingDirectory(parent_, QString::fromStdString(title), QString::fromStdString(startFolder),
                                             QFileDialog::ShowDirsOnly)
        .toStdString();
}

std::string QtDialogPrompter::saveListFile(const std::string& startFolder) {
    QFileDialog dialog(parent_, QStringLiteral("Save List"), QString::fromStdString(startFolder));
    dialog.setObjectName(QStringLiteral("SaveDialogList"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(qtNameFilters("File List [*.lst]|*.lst|All Files [*.*]|*"));
    dialog.setDefaultSuffix(QStringLiteral("lst"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

std::string QtDialogPrompter::saveLinesFile(const std::string& startFolder) {
    QFileDialog dialog(parent_, QStringLiteral("Save Lines"), QString::fromStdString(startFolder));
    dialog.setObjectName(QStringLiteral("LinesSaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(qtNameFilters("HTML File [*.html]|*.html"));
    dialog.setDefaultSuffix(QStringLiteral("html"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace vsr::ui
