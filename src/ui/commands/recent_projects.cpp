#include "ui/commands/recent_projects.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <filesystem>

#include "settings/recent_projects.h"
#include "ui/commands/project_commands.h"
#include "ui/common/typed_text.h"

namespace vsr::ui {

namespace {

// One spelling per file, however it was reached, so a project is listed once.
std::string normalPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

bool isFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// Longer paths keep their start and their file name; the menu stays narrower than the screen.
constexpr int kShownPathWidth96 = 480;

}  // namespace

RecentProjects::RecentProjects(RecentProjectsHost& window, ProjectCommands& projects)
    : QObject(&window.windowWidget()), w_(window), projects_(projects) {
    setObjectName(QStringLiteral("RecentProjects"));
    if (w_.settingsStorage()) paths_ = w_.settingsStorage()->loadRecentProjects();
    w_.projectMenu()->addSeparator();
    menu_ = w_.projectMenu()->addMenu(QStringLiteral("&Recent Projects"));
    menu_->setObjectName(QStringLiteral("RecentProjects1"));
    menu_->menuAction()->setObjectName(QStringLiteral("RecentProjects1"));
    // A run leaves the window's controls to itself; a project opened then would pull them away.
    connect(w_.projectMenu(), &QMenu::aboutToShow, this,
            [this] { menu_->setEnabled(!paths_.empty() && !w_.state().busy); });
    connect(&projects_, &ProjectCommands::projectUsed, this, &RecentProjects::remember);
    rebuildMenu();
}

void RecentProjects::openRecent(std::size_t index) {
    if (index >= paths_.size() || w_.state().busy) return;
    const std::string path = paths_[index];
    // Open Project reports a missing file by name; the entry would only fail again.
    const bool gone = !isFile(path);
    if (!projects_.openProjectFile(path) && gone) forget(path);
}

void RecentProjects::clear() {
    paths_.clear();
    store();
    rebuildMenu();
}

void RecentProjects::remember(const std::string& path) {
    paths_ = settings::withRecentProject(std::move(paths_), normalPath(path));
    store();
    rebuildMenu();
}

void RecentProjects::forget(const std::string& path) {
    paths_ = settings::withoutRecentProject(std::move(paths_), path);
    store();
    rebuildMenu();
}

void RecentProjects::store() {
    // Not kept is no reason to stop the user; the menu still offers the list this session.
    if (w_.settingsStorage()) w_.settingsStorage()->saveRecentProjects(paths_);
}

void RecentProjects::rebuildMenu() {
    // An entry may be the one whose trigger got us here: it goes once that signal is done.
    for (QAction* old : menu_->actions()) {
        menu_->removeAction(old);
        old->deleteLater();
    }
    const QFontMetrics metrics(menu_->font());
    const int width = w_.metrics().s(kShownPathWidth96);
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        QString shown = metrics.elidedText(fileSystemName(paths_[i]), Qt::ElideMiddle, width);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* entry = new QAction(QStringLiteral("&%1  %2").arg(i + 1).arg(shown), menu_);
        entry->setObjectName(QStringLiteral("RecentProject%1").arg(i + 1));
        menu_->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, i] { openRecent(i); });
    }
    menu_->addSeparator();
    auto* clearAll = new QAction(QStringLiteral("&Clear Recent Projects"), menu_);
    menu_->addAction(clearAll);
    clearAll->setObjectName(QStringLiteral("ClearRecentProjects1"));
    clearAll->setEnabled(!paths_.empty());
    connect(clearAll, &QAction::triggered, this, &RecentProjects::clear);
    menu_->setEnabled(!paths_.empty());
}

}  // namespace vsr::ui
