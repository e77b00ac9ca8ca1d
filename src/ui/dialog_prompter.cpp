#include "ui/dialog_prompter.h"

#include <QFileDialog>

namespace vsr::ui {

std::unique_ptr<QFileDialog> programOpenDialog(QWidget* parent, const std::string& startFolder) {
    auto dialog = std::make_unique<QFileDialog>(parent, QStringLiteral("Open"), QString::fromStdString(startFolder));
    dialog->setObjectName(QStringLiteral("EditorOpenDialog"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // A program here has no extension, so a typed name gets none added, and a typed link to
    // the program stays the link the user named.
    dialog->setOption(QFileDialog::DontResolveSymlinks);
    const QString exeFilter = QStringLiteral("Exe Files [*.exe] (*.exe)");
    const QString allFilter = QStringLiteral("All Files [*.*] (*)");
    dialog->setNameFilters({exeFilter, allFilter});
    dialog->selectNameFilter(allFilter);
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
    dialog.setNameFilters({QStringLiteral("File List [*.lst] (*.lst)"), QStringLiteral("All Files [*.*] (*)")});
    dialog.setDefaultSuffix(QStringLiteral("lst"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

std::string QtDialogPrompter::saveLinesFile(const std::string& startFolder) {
    QFileDialog dialog(parent_, QStringLiteral("Save Lines"), QString::fromStdString(startFolder));
    dialog.setObjectName(QStringLiteral("LinesSaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("HTML File [*.html] (*.html)")});
    dialog.setDefaultSuffix(QStringLiteral("html"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace vsr::ui
