#pragma once
#include <string>

#include "engine/search/search_host.h"

class QWidget;

namespace vsr::ui {

// Modal questions the window asks besides message boxes; tests answer them without a screen.
class WindowPrompter : public engine::Prompter {
public:
    // The chosen folder, or an empty string when the user cancelled.
    virtual std::string selectFolder(const std::string& title, const std::string& start) = 0;
    // Shows the about box modally.
    virtual void showAbout(QWidget* parent) = 0;
};

}  // namespace vsr::ui
