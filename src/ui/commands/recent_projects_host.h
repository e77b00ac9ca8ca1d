#pragma once
#include "settings/settings_storage.h"
#include "ui/common/metrics.h"
#include "ui/window/window_state.h"

class QMenu;
class QWidget;

namespace vsr::ui {

// What the recent projects need of the window: the Project menu they join, where the list is
// kept, and whether a run holds the controls.
class RecentProjectsHost {
public:
    virtual ~RecentProjectsHost() = default;

    virtual QWidget& windowWidget() = 0;
    virtual const WindowState& state() const = 0;
    virtual const Metrics& metrics() const = 0;
    // Where the list is kept; null: nowhere.
    virtual settings::SettingsStorage* settingsStorage() const = 0;
    virtual QMenu* projectMenu() = 0;
};

}  // namespace vsr::ui
