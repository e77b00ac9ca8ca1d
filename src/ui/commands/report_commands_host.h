#pragma once
#include <string>

#include "engine/search/search_driver.h"
#include "ui/common/window_part_host.h"

namespace vsr::ui {

// What the Report menu needs of the window: a search run as Find runs it and the conditions it
// took, the window's running state around the report, the list and the Lines Viewer.
class ReportCommandsHost : public virtual WindowPartHost {
public:
    // The search of the active tab, as Find starts it, and the conditions it took.
    virtual void runSearch(const engine::RunOptions& options) = 0;
    virtual const engine::SearchConditions& runConditions() const = 0;
    virtual bool closeAskedDuringRun() const = 0;
    virtual void endRunState(engine::Tab tab) = 0;
    virtual void selectPendingExpressionError() = 0;
    virtual void disableLineCommands() = 0;
    virtual void commandRunEnded() = 0;
    virtual void scheduleIdle() = 0;

    // "Search in Results" can be ticked (a report's search holds it off while it runs).
    virtual void setSearchInResultsEnabled(bool on) = 0;
};

}  // namespace vsr::ui
