#pragma once
#include <cstdio>
#include <string>

#include "ui/prompt/window_prompter.h"
#include "ui/window/find_window.h"
#include "fileops/rename_rules.h"

namespace vsr::tools {

// Answers every question of the window the same way and prints each one (caption and text) to
// standard error, so a script sees what a person would have been asked.
class ScriptedAnswers : public ui::WindowPrompter {
public:
    void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon) override;
    std::string selectFolder(const std::string& title, const std::string& start) override;
    void showAbout(QWidget*) override {}
    std::string openProgram(const std::string&) override { return {}; }
    std::string saveListFile(const std::string&) override { return {}; }
    int runModal(QDialog& dialog) override;

    int answer = QDialog::Accepted;  // the result code every confirmation gets
    std::string folder;              // what the folder picker returns
    fileops::RenameCommands rename;  // what "Rename Files" is given before its "Rename"
};

// The result code of an --answer word, or -1 when the word is unknown.
int answerCode(const std::string& word);

}  // namespace vsr::tools
