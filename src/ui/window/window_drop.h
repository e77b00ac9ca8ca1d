#pragma once
#include <QObject>
#include <string>

class QMimeData;

namespace vsr::ui {

class ProjectCommands;
class TFind;

// What a drag over the window would do when dropped.
struct DropTarget {
    enum class Kind { None, Folder, Project };
    Kind kind = Kind::None;
    std::string path;  // as the file system names it; a folder without its trailing "/"
};

// One local folder or one ".vsr" file; anything else (several items, a file of another kind,
// a remote address, plain text) is no target.
DropTarget dropTargetOf(const QMimeData* data);

// Drag and drop onto the main window: a folder becomes the Path, a project file is opened as
// Open Project opens it. The drag is taken whichever control of the window it is over, so a
// folder dropped on a text field does not end up typed into it as an address; other files and
// addresses are refused, and plain text goes to the control under the mouse as before.
class WindowDrop : public QObject {
    Q_OBJECT
public:
    WindowDrop(TFind& window, ProjectCommands& projects);
    ~WindowDrop() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the drop would do now, or no target while the window cannot take it.
    DropTarget targetNow(const QMimeData* data) const;
    void drop(const DropTarget& target);

    TFind& w_;
    ProjectCommands& projects_;
};

}  // namespace vsr::ui
