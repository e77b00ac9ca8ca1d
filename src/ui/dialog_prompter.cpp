#include "ui/dialog_prompter.h"

#include <QFileDialog>

namespace vsr::ui {

std::string QtDialogPrompter::openProgram(const std::string& startFolder) {
    QFileDialog dialog(parent_, QStringLiteral("Open"), QString::fromStdString(startFolder));
    dialog.setObjectName(QStringLiteral("EditorOpenDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QString exeFilter = QStringLiteral("Exe Files [*.exe] (*.exe)");
    const QString allFilter = QStringLiteral("All Files [*.*] (*)");
    dialog.setNameFilters({exeFilter, allFilter});
    dialog.setDefaultSuffix(QStringLiteral("exe"));
    // Programs here carry no extension, so the dialog starts by showing every file.
    dialog.selectNameFilter(allFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
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
