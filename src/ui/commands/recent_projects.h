#pragma once
#include <QObject>
#include <string>
#include <vector>

#include "ui/commands/recent_projects_host.h"

class QMenu;

namespace vsr::ui {

class ProjectCommands;

// "Recent Projects" under the Project menu: the projects opened or saved last, most recent
// first, each behind a numbered accelerator, kept in the settings file as soon as it changes.
class RecentProjects : public QObject {
    Q_OBJECT
public:
    RecentProjects(RecentProjectsHost& window, ProjectCommands& projects);

    const std::vector<std::string>& paths() const { return paths_; }
    // Opens entry `index` (from 0) as Open Project would; a file that is gone is reported and
    // leaves the list.
    void openRecent(std::size_t index);
    void clear();

    QMenu* menu() const { return menu_; }

private:
    void remember(const std::string& path);
    void forget(const std::string& path);
    void store();
    void rebuildMenu();

    RecentProjectsHost& w_;
    ProjectCommands& projects_;
    QMenu* menu_ = nullptr;
    std::vector<std::string> paths_;
};

}  // namespace vsr::ui
