#pragma once
#include <QDialog>
#include <string>

#include "engine/search/search_host.h"

class QWidget;

namespace vsr::ui {

// Every question the window and its parts ask: the message boxes (the engine's own view of
// this), the folder, program, list, lines, project and batch file pickers, the program's modal
// dialogs and the about box. Tests answer them without a screen. A picker returns the chosen
// name, or an empty string when the user cancelled; a prompter that does not offer a picker
// cancels it. File filters are written "Description|pattern", and `extension` is added to a
// name typed without one.
class WindowPrompter : public engine::Prompter {
public:
    virtual std::string selectFolder(const std::string& title, const std::string& start) { return {}; }
    // A program in the open dialog for programs ("EditorOpenDialog").
    virtual std::string openProgram(const std::string& startFolder) { return {}; }
    // The file named in the "Save List" dialog, and the HTML file of the "Save Lines" dialog.
    virtual std::string saveListFile(const std::string& startFolder) { return {}; }
    virtual std::string saveLinesFile(const std::string& startFolder) { return {}; }
    // Projects and batch files: an existing file to open, or the file to write (the dialog
    // asked before an existing one is replaced).
    virtual std::string openFile(const std::string& title, const std::string& filter, const std::string& extension,
                                 const std::string& startFolder) {
        return {};
    }
    virtual std::string saveFile(const std::string& title, const std::string& filter, const std::string& extension,
                                 const std::string& startFolder) {
        return {};
    }
    // Shows one of the program's own dialogs modally; QDialog::Accepted when OK closed it.
    virtual int runModal(QDialog& dialog) { return dialog.exec(); }
    // Shows the about box modally; a prompter without it shows nothing.
    virtual void showAbout(QWidget* parent) {}
};

}  // namespace vsr::ui
