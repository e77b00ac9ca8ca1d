#pragma once
#include "ui/common/window_part_host.h"

namespace vsr::ui {

class ProjectCommands;

// What the command line needs of the window: the project commands that load its project and
// drive the run, whether a run holds the controls, and the window it closes at the end.
class CommandLineSessionHost : public virtual WindowPartHost {
public:
    virtual ProjectCommands& projectCommands() = 0;
};

}  // namespace vsr::ui
