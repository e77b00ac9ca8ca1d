#pragma once
#include <string>

#include "engine/query/search_conditions.h"
#include "engine/search/search_driver.h"
#include "engine/search/search_host.h"
#include "results/result_list.h"
#include "settings/settings_storage.h"
#include "ui/common/command_set.h"
#include "ui/window/window_state.h"

class QCheckBox;
class QTabWidget;
class QWidget;

namespace vsr::ui {

class LinesViewer;
class SettingsDialogSet;

// What the Report menu needs of the window: a search run as Find runs it and the conditions it
// took, the window's running state around the report, the list and the Lines Viewer.
class ReportCommandsHost {
public:
    virtual ~ReportCommandsHost() = default;

    virtual QWidget& windowWidget() = 0;
    virtual engine::Prompter& prompter() = 0;
    virtual results::ResultList& results() = 0;
    virtual engine::RunState& runState() = 0;
    virtual WindowState& mutableState() = 0;
    virtual CommandSet& commands() = 0;
    virtual SettingsDialogSet& settingsDialogs() = 0;
    virtual settings::MainOptions& storedOptions() = 0;
    virtual platform::CodePageId textEncoding() const = 0;
    virtual engine::Tab activeTab() const = 0;
    virtual bool onOptionsTab() const = 0;
    virtual void setStatusText(int panel, const std::string& text) = 0;

    // The search of the active tab, as Find starts it, and the conditions it took.
    virtual void runSearch(const engine::RunOptions& options) = 0;
    virtual const engine::SearchConditions& runConditions() const = 0;
    virtual bool closeAskedDuringRun() const = 0;
    virtual void endRunState(engine::Tab tab) = 0;
    virtual void selectPendingExpressionError() = 0;
    virtual void disableLineCommands() = 0;
    virtual void listSelectionChanged() = 0;
    virtual void commandRunEnded() = 0;
    virtual void scheduleIdle() = 0;

    virtual LinesViewer* linesViewer() = 0;
    virtual QTabWidget* pages() = 0;
    virtual QCheckBox* searchInResultsBox() = 0;
};

}  // namespace vsr::ui
