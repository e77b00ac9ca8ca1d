#include "ui/prompt/qt_prompter.h"

#include <QFileDialog>
#include <QMessageBox>

#include "ui/dialogs/about_form.h"

namespace vsr::ui {

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
    const QString chosen = QFileDialog::getExistingDirectory(parent_, QString::fromUtf8(title),
                                                             QString::fromUtf8(start), QFileDialog::ShowDirsOnly);
    return chosen.toStdString();
}

void QtPrompter::showAbout(QWidget* parent) {
    TAboutForm about(parent);
    about.exec();
}

}  // namespace vsr::ui
