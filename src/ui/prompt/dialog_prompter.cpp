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

}  // namespace vsr::ui
