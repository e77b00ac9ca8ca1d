#pragma once
#include <QObject>
#include <memory>
#include <string>

#include "platform/locale_formats.h"
#include "ui/commands/project_host.h"
#include "ui/commands/window_driver.h"

namespace vsr::project {
class CommandLineRun;
}

namespace vsr::ui {

class WindowPrompter;
class TBatchDlg;

// "Save Project", "Open Project" and "Batch Replace": the project file read into and written
// from the window's settings records, and the batch table run pair by pair through the window.
class ProjectCommands : public QObject {
    Q_OBJECT
public:
    // `files` null: the desktop's file dialogs.
    ProjectCommands(ProjectHost& window, WindowPrompter* files);
    ~ProjectCommands() override;

    void SaveProject1Click();
    void OpenProject1Click();
    void BatchReplace1Click();
    // Open Project with its file already chosen (a recent project, a dropped file): what the
    // command does after its dialog. False when the file was missing or incorrect.
    bool openProjectFile(const std::string& path);
    // A project loaded for the user some other way (named at start-up) counts as opened.
    void noteOpened(const std::string& path) { emit projectUsed(path); }
    // Loads a project into the window; reports a missing or incorrect file itself. False when
    // the file was missing or incorrect.
    bool loadProject(const std::string& fileName);

    // The command-line run whose rules the loader's messages follow, while there is one.
    void setCommandLine(project::CommandLineRun* run) { commandLine_ = run; }
    // Writes a project of the window's current values; false when the file could not be written.
    bool saveProjectTo(const std::string& fileName);

    bool projectSettingsLoaded() const { return projectSettingsLoaded_; }
    TBatchDlg& batchDialog() { return *batch_; }
    WindowDriver& driver() { return driver_; }

signals:
    // A project the user opened or saved in the window, named as it was chosen.
    void projectUsed(const std::string& path);

private:
    void report(const std::string& text, bool logIt);

    ProjectHost& w_;
    std::unique_ptr<WindowPrompter> ownFiles_;
    WindowPrompter& files_;
    WindowDriver driver_;
    std::unique_ptr<TBatchDlg> batch_;
    project::CommandLineRun* commandLine_ = nullptr;
    platform::PosixLocaleFormats ownDates_;
    bool projectSettingsLoaded_ = false;
};

}  // namespace vsr::ui
