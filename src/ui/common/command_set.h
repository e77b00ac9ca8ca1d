#pragma once
#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <vector>

namespace vsr::ui {

// Every command of the window that another part of the program carries out. The window
// keeps the state rules for them; the part that implements a command registers its handler.
enum class Command {
    ExecuteFile, EditFile, BatchReplace, Select, SelectAll, Deselect, CopyFiles, RenameFiles,
    DeleteFiles, OpenDirectory, MarkFrom, MarkTo, MarkAllBrowsed, MarkAllSelected, MarkAllListed,
    UnmarkAllBrowsed, UnmarkAllSelected, UnmarkAllListed, EraseBackups, Settings, CreateReport,
    BrowseContext, SaveList, SaveLines, OpenProject, SaveProject, ModifySelected, ModifyAll,
    DeleteItems, Undo
};

// Binds the menu entries and buttons of each command to its handler. A control is enabled only
// when the window's rules allow it *and* a handler exists, so a command that is not part of
// this build is shown but can never be triggered.
class CommandSet {
public:
    // Registers a control (QAction or QAbstractButton) that triggers `command`.
    void bind(Command command, QObject* control);
    void setHandler(Command command, std::function<void()> handler);
    bool hasHandler(Command command) const;
    // What the window's rules say, independent of the handler.
    void setAllowed(Command command, bool allowed);
    bool allowed(Command command) const;
    // How often the rules switched `command` off; a note that means to switch it on again later
    // compares this to learn whether something else switched it off meanwhile.
    unsigned offCount(Command command) const;
    // Allowed and built: what the user sees.
    bool enabled(Command command) const { return allowed(command) && hasHandler(command); }
    void trigger(Command command) const;
    // Runs the handler whatever the rules say, for a key whose own conditions were checked.
    bool invoke(Command command) const;
    const std::vector<QPointer<QObject>>& controls(Command command) const;
    // While a run is busy its menus are off; their keys must not reach a command either.
    void setSuspended(bool suspended) { suspended_ = suspended; }
    bool suspended() const { return suspended_; }

private:
    void apply(Command command);
    struct Entry {
        std::vector<QPointer<QObject>> controls;
        std::function<void()> handler;
        bool allowed = false;
        unsigned offCount = 0;
    };
    std::map<Command, Entry> entries_;
    bool suspended_ = false;
};

}  // namespace vsr::ui
