#pragma once
#include <QPointer>
#include <QWidget>

#include "ui/prompt/window_prompter.h"

namespace vsr::ui {

// The real dialogs: message boxes, the folder picker and the about box.
class QtPrompter : public WindowPrompter {
public:
    explicit QtPrompter(QWidget* parent) : parent_(parent) {}
    void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) override;
    std::string selectFolder(const std::string& title, const std::string& start) override;
    void showAbout(QWidget* parent) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace vsr::ui
