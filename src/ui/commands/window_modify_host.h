#pragma once
#include <cstddef>

#include "ui/common/window_part_host.h"

namespace vsr::ui {

// What modification and undo need of the window: the conditions in its controls, the window
// as the engine's host, its running state, and the list and the Lines Viewer they update.
class WindowModifyHost : public virtual WindowPartHost {
public:
    virtual bool rowSelected() const = 0;
    virtual void endRunState(engine::Tab tab) = 0;
    virtual void commandRunEnded() = 0;
    // Rule D: "Create Backups" changed the conditions the list was built with.
    virtual void SearchTextChange() = 0;
    virtual void scrollRowIntoView(std::size_t row) = 0;
    virtual void widenColumn(results::Column column, int width96) = 0;

    // "Create Backups" as it is ticked, and a call of `f` at each click of the user's (loading
    // settings or a project sets the box without a click), while `context` lives.
    virtual bool backupsChosen() const = 0;
    virtual void onBackupsClicked(QObject* context, std::function<void(bool checked)> f) = 0;
    // The path field holds more than blanks.
    virtual bool pathGiven() const = 0;
};

}  // namespace vsr::ui
