#pragma once
#include <cstddef>

#include "engine/query/search_conditions.h"
#include "engine/search/search_host.h"
#include "results/result_list.h"
#include "ui/common/command_set.h"
#include "ui/common/text_refusals.h"
#include "ui/window/window_state.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QWidget;

namespace vsr::ui {

class LinesViewer;
class SettingsDialogSet;

// What modification and undo need of the window: the conditions in its controls, the window
// as the engine's host, its running state, and the list and the Lines Viewer they update.
class WindowModifyHost {
public:
    virtual ~WindowModifyHost() = default;

    virtual QWidget& windowWidget() = 0;
    virtual engine::SearchHost& searchHost() = 0;
    virtual engine::Prompter& prompter() = 0;
    virtual results::ResultList& results() = 0;
    virtual WindowState& mutableState() = 0;
    virtual CommandSet& commands() = 0;
    virtual SettingsDialogSet& settingsDialogs() = 0;
    virtual engine::SearchConditions currentConditions(engine::Tab tab, TextRefusals* refusals = nullptr) const = 0;
    virtual engine::Tab activeTab() const = 0;
    virtual bool listHasRows() const = 0;
    virtual bool listVisible() const = 0;
    virtual bool rowSelected() const = 0;
    virtual void endRunState(engine::Tab tab) = 0;
    virtual void commandRunEnded() = 0;
    // Rule D: "Create Backups" changed the conditions the list was built with.
    virtual void SearchTextChange() = 0;
    virtual void scrollRowIntoView(std::size_t row) = 0;
    virtual void widenColumn(results::Column column, int width96) = 0;

    virtual LinesViewer* linesViewer() = 0;
    virtual QLabel* statusPanel(int panel) = 0;
    virtual QComboBox* pathCombo() = 0;
    virtual QCheckBox* backupsBox() = 0;
};

}  // namespace vsr::ui
