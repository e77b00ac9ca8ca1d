#include "ui/prompt/qt_prompter.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

#include "ui/dialogs/about_form.h"

namespace vsr::ui {

namespace {

// A picker needs a screen someone looks at: on the offscreen or minimal platform (a run with
// no display) its dialog would wait for an answer no one can give, so it is cancelled.
bool pickersShown() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal") &&
           QGuiApplication::primaryScreen() != nullptr;
}

// Runs a file dialog of the program's; empty when the user cancelled.
std::string chosenFile(QFileDialog& dialog) {
    if (!pickersShown()) return {};
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

std::string runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const std::string& title,
                          const std::string& filter, const std::string& extension, const std::string& startFolder) {
    QFileDialog dialog(parent, QString::fromStdString(title), QString::fromStdString(startFolder));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(qtNameFilters(filter));
    dialog.setDefaultSuffix(QString::fromStdString(extension));
    return chosenFile(dialog);
}

}  // namespace

void QtPrompter::messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) {
    QMessageBox::Icon qtIcon = QMessageBox::Warning;
    switch (icon) {
    case engine::MessageIcon::Exclamation:
    case engine::MessageIcon::Warning: qtIcon = QMessageBox::Warning; break;
    case engine::MessageIcon::Information: qtIcon = QMessageBox::Information; break;
    case engine::MessageIcon::Error: qtIcon = QMessageBox::Critical; break;
    }
    QMessageBox box(qtIcon, QString::fromUtf8(caption), QString::fromUtf8(text), QMessageBox::Ok, parent_);
    box.exec();
}

std::string QtPrompter::selectFolder(const std::string& title, const std::string& start) {
    if (!pickersShown()) return {};
    const QString chosen = QFileDialog::getExistingDirectory(parent_, QString::fromUtf8(title),
                                                             QString::fromUtf8(start), QFileDialog::ShowDirsOnly);
    return chosen.toStdString();
}

void QtPrompter::showAbout(QWidget* parent) {
    TAboutForm about(parent);
    about.exec();
}

std::string QtPrompter::openProgram(const std::string& startFolder) {
    const std::unique_ptr<QFileDialog> dialog = programOpenDialog(parent_, startFolder);
    return chosenFile(*dialog);
}

std::string QtPrompter::saveListFile(const std::string& startFolder) {
    QFileDialog dialog(parent_, QStringLiteral("Save List"), QString::fromStdString(startFolder));
    dialog.setObjectName(QStringLiteral("SaveDialogList"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(qtNameFilters("File List [*.lst]|*.lst|All Files [*.*]|*"));
    dialog.setDefaultSuffix(QStringLiteral("lst"));
    return chosenFile(dialog);
}

std::string QtPrompter::saveLinesFile(const std::string& startFolder) {
    QFileDialog dialog(parent_, QStringLiteral("Save Lines"), QString::fromStdString(startFolder));
    dialog.setObjectName(QStringLiteral("LinesSaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(qtNameFilters("HTML File [*.html]|*.html"));
    dialog.setDefaultSuffix(QStringLiteral("html"));
    return chosenFile(dialog);
}

std::string QtPrompter::openFile(const std::string& title, const std::string& filter, const std::string& extension,
                                 const std::string& startFolder) {
    return runFileDialog(parent_, QFileDialog::AcceptOpen, title, filter, extension, startFolder);
}

std::string QtPrompter::saveFile(const std::string& title, const std::string& filter, const std::string& extension,
                                 const std::string& startFolder) {
    return runFileDialog(parent_, QFileDialog::AcceptSave, title, filter, extension, startFolder);
}

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
