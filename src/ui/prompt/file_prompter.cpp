#include "ui/prompt/file_prompter.h"

#include <QFileDialog>

namespace vsr::ui {

QStringList qtNameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The description's own "[*.vsr]" would show the patterns twice beside the dialog's "(*.vsr)".
        if (description.endsWith(QLatin1Char(']'))) {
            const qsizetype open = description.lastIndexOf(QLatin1Char('['));
            if (open > 0) description = description.left(open).trimmed();
        }
        filters << description + QStringLiteral(" (") + parts[i + 1].trimmed() + QLatin1Char(')');
    }
    return filters;
}

namespace {

std::string run(QWidget* parent, QFileDialog::AcceptMode mode, const std::string& title, const std::string& filter,
                const std::string& extension, const std::string& startFolder) {
    QFileDialog dialog(parent, QString::fromStdString(title), QString::fromStdString(startFolder));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(qtNameFilters(filter));
    dialog.setDefaultSuffix(QString::fromStdString(extension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace

std::string QtFilePrompter::openFile(const std::string& title, const std::string& filter, const std::string& extension,
                                     const std::string& startFolder) {
    return run(parent_, QFileDialog::AcceptOpen, title, filter, extension, startFolder);
}

std::string QtFilePrompter::saveFile(const std::string& title, const std::string& filter, const std::string& extension,
                                     const std::string& startFolder) {
    return run(parent_, QFileDialog::AcceptSave, title, filter, extension, startFolder);
}

}  // namespace vsr::ui
