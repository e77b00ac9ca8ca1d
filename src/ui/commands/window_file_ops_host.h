#pragma once
#include <string>

#include "engine/search/search_host.h"
#include "results/result_list.h"
#include "settings/settings_storage.h"
#include "ui/common/command_set.h"
#include "ui/common/metrics.h"
#include "ui/window/window_state.h"

class QWidget;

namespace vsr::ui {

class LinesViewer;
class ListCommands;
class SettingsDialogSet;

// What the file commands need of the window: the list and the Lines Viewer, the list's own
// commands they end with, the folders their dialogs start in, and the editor setting.
class WindowFileOpsHost {
public:
    virtual ~WindowFileOpsHost() = default;

    virtual QWidget& windowWidget() = 0;
    virtual engine::Prompter& prompter() = 0;
    virtual results::ResultList& results() = 0;
    virtual engine::RunState& runState() = 0;
    virtual const WindowState& state() const = 0;
    virtual CommandSet& commands() = 0;
    virtual const Metrics& metrics() const = 0;
    virtual ListCommands& listCommands() = 0;
    virtual SettingsDialogSet& settingsDialogs() = 0;
    virtual settings::MainOptions& storedOptions() = 0;
    // The folder a file dialog starts in when none is remembered.
    virtual std::string homeFolder() const = 0;
    virtual void listSelectionChanged() = 0;
    virtual void disableLineCommands() = 0;

    virtual LinesViewer* linesViewer() = 0;

    // Writing out a member of an archive pumps the window's messages and names the member in
    // the status bar while it runs.
    virtual void pumpMessages() = 0;
    virtual void setStatusText(int panel, const std::string& text) = 0;
};

}  // namespace vsr::ui
