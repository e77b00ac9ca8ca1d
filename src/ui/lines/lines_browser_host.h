#pragma once
#include <string>

#include "ui/common/window_part_host.h"

#include <vector>

class QAbstractButton;
class QAction;
class QMenu;

namespace vsr::ui {

// What the Lines Viewer's browser needs of the window: the browsed row and the list, the
// viewer, the status panels, the conditions of the search, and the controls a fill blocks.
class LinesBrowserHost : public virtual WindowPartHost {
public:
    virtual bool intervalsInUse() const = 0;

    // Selects the character of a regular-expression error in the query field of `tab`.
    virtual void selectQueryCharacter(engine::Tab tab, int position) = 0;
    // What a fill disables while it pumps: the controls and menus that start another run or
    // change the list (the list itself stays clickable); and the Stop button that ends it.
    virtual std::vector<QWidget*> runStarters() = 0;
    virtual std::vector<QMenu*> runMenus() = 0;
    virtual QAbstractButton* stopButton(engine::Tab tab) = 0;

    // The menus whose marking entries the browser enables.
    virtual QMenu* fileMenu() = 0;
    virtual QMenu* listPopupMenu() = 0;
    virtual QMenu* linesPopupMenu() = 0;
    // "Mark All" under the File menu.
    virtual QMenu* markAllMenu() = 0;
    // The Escape key that stops a run; live while a fill holds the window.
    virtual QAction* stopKey() = 0;
};

}  // namespace vsr::ui
