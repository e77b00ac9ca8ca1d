#pragma once
#include "ui/common/window_part_host.h"

class QMenu;

namespace vsr::ui {

// What the recent projects need of the window: the Project menu they join, where the list is
// kept, and whether a run holds the controls.
class RecentProjectsHost : public virtual WindowPartHost {
public:
    // Where the list is kept; null: nowhere.
    virtual settings::SettingsStorage* settingsStorage() const = 0;
    virtual QMenu* projectMenu() = 0;
};

}  // namespace vsr::ui
