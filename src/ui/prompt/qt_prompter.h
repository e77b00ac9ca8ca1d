#pragma once
#include <QPointer>
#include <QWidget>

#include "ui/prompt/dialog_prompter.h"
#include "ui/prompt/file_prompter.h"
#include "ui/prompt/window_prompter.h"

namespace vsr::ui {

// The desktop's own dialogs for every question the program asks: message boxes, the folder,
// program, list and project pickers, the about box and the program's modal dialogs.
class QtPrompter final : public WindowPrompter, public DialogPrompter, public FilePrompter {
public:
    explicit QtPrompter(QWidget* parent) : parent_(parent) {}

    // --- WindowPrompter ---
    void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) override;
    std::string selectFolder(const std::string& title, const std::string& start) override;
    void showAbout(QWidget* parent) override;

    // --- DialogPrompter ---
    std::string openProgram(const std::string& startFolder) override;
    std::string saveListFile(const std::string& startFolder) override;
    std::string saveLinesFile(const std::string& startFolder) override;

    // --- FilePrompter ---
    std::string openFile(const std::string& title, const std::string& filter, const std::string& extension,
                         const std::string& startFolder) override;
    std::string saveFile(const std::string& title, const std::string& filter, const std::string& extension,
                         const std::string& startFolder) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace vsr::ui
