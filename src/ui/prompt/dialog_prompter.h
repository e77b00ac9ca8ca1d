#pragma once
#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

class QFileDialog;

namespace vsr::ui {

// The file and folder pickers the settings dialogs open; tests answer them without a screen.
class DialogPrompter {
public:
    virtual ~DialogPrompter() = default;
    // The program chosen in the open dialog for programs, or empty when the user cancelled.
    virtual std::string openProgram(const std::string& startFolder) = 0;
    // The folder chosen in the folder picker, or empty when the user cancelled.
    virtual std::string selectFolder(const std::string& title, const std::string& startFolder) = 0;
    // The file named in the "Save List" dialog, or empty when the user cancelled.
    virtual std::string saveListFile(const std::string& startFolder) = 0;
    // The HTML file named in the "Save Lines" dialog, or empty when the user cancelled. A
    // prompter that does not offer this dialog cancels it.
    virtual std::string saveLinesFile(const std::string& startFolder) { return {}; }
    // Shows one of the program's own dialogs modally; QDialog::Accepted when OK closed it.
    virtual int runModal(QDialog& dialog) { return dialog.exec(); }
};

// The open dialog for programs ("EditorOpenDialog"), starting in `startFolder`.
std::unique_ptr<QFileDialog> programOpenDialog(QWidget* parent, const std::string& startFolder);


}  // namespace vsr::ui
