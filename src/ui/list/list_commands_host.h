#pragma once
#include <string>

#include "ui/common/window_part_host.h"

class QAction;
class QMenu;

namespace vsr::ui {

// What the list's commands need of the window: the list and its view, the tab and run state
// their rules read, the menus they enable, and the folder Save List starts in.
class ListCommandsHost : public virtual WindowPartHost {
public:
    virtual bool intervalsInUse() const = 0;
    virtual void enableListCommands(bool withDeleteItems) = 0;
    virtual void ClearListClick() = 0;

    // A status text shown at once, not paced as a run's.
    virtual void showStatusNow(int panel, const std::string& text) = 0;
    virtual QMenu* fileMenu() = 0;
    virtual QMenu* listPopupMenu() = 0;
    // "Delete Items" and "Modification Interval" of the list's pop-up menu, and the File
    // menu's "Modification Interval".
    virtual QAction* popupDeleteItemsAction() = 0;
    virtual QMenu* popupIntervalMenu() = 0;
    virtual QMenu* fileIntervalMenu() = 0;
};

}  // namespace vsr::ui
