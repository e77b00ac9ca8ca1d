#pragma once
#include <string>

#include "engine/query/search_conditions.h"
#include "engine/search/search_host.h"
#include "results/result_list.h"
#include "settings/settings_storage.h"
#include "ui/common/command_set.h"
#include "ui/window/window_state.h"

class QAction;
class QLabel;
class QMenu;
class QTreeView;
class QWidget;

namespace vsr::ui {

class LinesViewer;

// What the list's commands need of the window: the list and its view, the tab and run state
// their rules read, the menus they enable, and the folder Save List starts in.
class ListCommandsHost {
public:
    virtual ~ListCommandsHost() = default;

    virtual QWidget& windowWidget() = 0;
    virtual engine::Prompter& prompter() = 0;
    virtual results::ResultList& results() = 0;
    virtual engine::RunState& runState() = 0;
    virtual const WindowState& state() const = 0;
    virtual CommandSet& commands() = 0;
    virtual platform::CodePageId textEncoding() const = 0;
    virtual engine::Tab activeTab() const = 0;
    virtual bool onOptionsTab() const = 0;
    virtual bool intervalsInUse() const = 0;
    virtual bool listVisible() const = 0;
    virtual engine::ModificationType modificationType() const = 0;
    virtual settings::MainOptions& storedOptions() = 0;
    virtual void listSelectionChanged() = 0;
    virtual void enableListCommands(bool withDeleteItems) = 0;
    virtual void ClearListClick() = 0;

    virtual QTreeView* resultsView() = 0;
    virtual LinesViewer* linesViewer() = 0;
    virtual QLabel* statusPanel(int panel) = 0;
    virtual QMenu* fileMenu() = 0;
    virtual QMenu* listPopupMenu() = 0;
    // "Delete Items" and "Modification Interval" of the list's pop-up menu, and the File
    // menu's "Modification Interval".
    virtual QAction* popupDeleteItemsAction() = 0;
    virtual QMenu* popupIntervalMenu() = 0;
    virtual QMenu* fileIntervalMenu() = 0;
};

}  // namespace vsr::ui
