#pragma once
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <string>

#include "ui/prompt/window_prompter.h"

class QFileDialog;

namespace vsr::ui {

// The desktop's own dialogs for every question the program asks: message boxes, the folder,
// program, list and project pickers, the about box and the program's modal dialogs. With no
// display to show them on (the offscreen and minimal platforms) the pickers cancel.
class QtPrompter final : public WindowPrompter {
public:
    explicit QtPrompter(QWidget* parent) : parent_(parent) {}

    void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) override;
    std::string selectFolder(const std::string& title, const std::string& start) override;
    void showAbout(QWidget* parent) override;
    std::string openProgram(const std::string& startFolder) override;
    std::string saveListFile(const std::string& startFolder) override;
    std::string saveLinesFile(const std::string& startFolder) override;
    std::string openFile(const std::string& title, const std::string& filter, const std::string& extension,
                         const std::string& startFolder) override;
    std::string saveFile(const std::string& title, const std::string& filter, const std::string& extension,
                         const std::string& startFolder) override;

private:
    QPointer<QWidget> parent_;
};

// The open dialog for programs ("EditorOpenDialog"), starting in `startFolder`.
std::unique_ptr<QFileDialog> programOpenDialog(QWidget* parent, const std::string& startFolder);

// A filter written "Description [patterns]|patterns|..." as the file dialog's name filters,
// "Description (patterns)" each.
QStringList qtNameFilters(const std::string& filter);

}  // namespace vsr::ui
