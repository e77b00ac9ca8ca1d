#pragma once
#include "engine/query/search_conditions.h"
#include "ui/window/window_state.h"

class QWidget;

namespace vsr::ui {

class ProjectCommands;

// What the command line needs of the window: the project commands that load its project and
// drive the run, whether a run holds the controls, and the window it closes at the end.
class CommandLineSessionHost {
public:
    virtual ~CommandLineSessionHost() = default;

    virtual QWidget& windowWidget() = 0;
    virtual const WindowState& state() const = 0;
    virtual platform::CodePageId textEncoding() const = 0;
    virtual ProjectCommands& projectCommands() = 0;
};

}  // namespace vsr::ui
