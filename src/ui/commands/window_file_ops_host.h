#pragma once
#include <string>

#include "engine/search/search_host.h"
#include "results/result_list.h"
#include "settings/settings_storage.h"
#include "ui/common/command_set.h"
#include "ui/common/metrics.h"
#include "ui/common/window_part_host.h"

class QWidget;

namespace vsr::ui {

class LinesViewer;
class ListCommands;
class SettingsDialogSet;

// What the file commands need of the window: the list and the Lines Viewer, the list's own
// commands they end with, the folders their dialogs start in, and the editor setting.
class WindowFileOpsHost : public virtual WindowPartHost {
public:
    virtual ListCommands& listCommands() = 0;
    // The folder a file dialog starts in when none is remembered.
    virtual std::string homeFolder() const = 0;
    virtual void disableLineCommands() = 0;

    // Writing out a member of an archive pumps the window's messages while it runs.
    virtual void pumpMessages() = 0;
};

}  // namespace vsr::ui
