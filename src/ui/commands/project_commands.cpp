#include "ui/commands/project_commands.h"

#include <filesystem>

#include "platform/attribute_changer.h"
#include "platform/file_read.h"
#include "durable/safe_writer.h"
#include "platform/file_system.h"
#include "project/command_line_run.h"
#include "project/project_file.h"
#include "ui/common/app_info.h"
#include "ui/dialogs/batch_dialog.h"
#include "ui/prompt/window_prompter.h"
#include "ui/prompt/qt_prompter.h"
#include "ui/dialogs/settings_dialog_set.h"

namespace vsr::ui {

namespace {

constexpr const char* kNoneMessage = "The Modification Type is \"None\"";

bool isRegularFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

ProjectCommands::ProjectCommands(ProjectHost& window, WindowPrompter* files)
    : QObject(&window.windowWidget()),
      w_(window),
      ownFiles_(files ? nullptr : std::make_unique<QtPrompter>(&window.windowWidget())),
      files_(files ? *files : *ownFiles_),
      driver_(window.driverHost()) {
    const std::string dataFolder = w_.settingsStorage() ? w_.settingsStorage()->DataFolder() : std::string();
    batch_ = std::make_unique<TBatchDlg>(
        TBatchDlg::Services{files_, w_.prompter(), [this](const QString& topic) { w_.help().show(topic); }, dataFolder,
                            w_.metrics(), [this] { return w_.textEncoding(); }},
        &w_.windowWidget());
    CommandSet& commands = w_.commands();
    commands.setHandler(Command::SaveProject, [this] { SaveProject1Click(); });
    commands.setHandler(Command::OpenProject, [this] { OpenProject1Click(); });
    commands.setHandler(Command::BatchReplace, [this] { BatchReplace1Click(); });
    for (Command c : {Command::SaveProject, Command::OpenProject, Command::BatchReplace}) commands.setAllowed(c, true);
}

ProjectCommands::~ProjectCommands() = default;

void ProjectCommands::report(const std::string& text, bool logIt) {
    if (commandLine_) commandLine_->notify(driver_, text, logIt);
    else w_.prompter().messageBox(kProgramTitle, text, engine::MessageIcon::Exclamation);
}

// --- Save Project ---

void ProjectCommands::SaveProject1Click() {
    if (w_.mutableState().busy) return;
    settings::MainOptions& o = w_.storedOptions();
    const std::string path = files_.saveFile("Save Project", project::kProjectFilter, project::kProjectExtension,
                                             o.initialDirSaveProject);
    if (path.empty()) return;
    o.initialDirOpenProject = o.initialDirSaveProject = platform::parentPath(path);
    // A failure ends the command silently.
    if (saveProjectTo(path)) emit projectUsed(path);
}

bool ProjectCommands::saveProjectTo(const std::string& fileName) {
    project::ProjectValues values{w_.collectSettings(), batch_->table()};
    const platform::LocaleFormats& dates = w_.localeFormats() ? *w_.localeFormats() : ownDates_;
    const std::string bytes = project::projectFileBytes(values, dates);
    // A read-only or hidden project is overwritten, as the user named it.
    platform::PosixAttributeChanger().makeWritable(fileName);
    return durable::writeFileAtomically(fileName, bytes);
}

// --- Open Project ---

void ProjectCommands::OpenProject1Click() {
    if (w_.mutableState().busy) return;
    settings::MainOptions& o = w_.storedOptions();
    const std::string path = files_.openFile("Open Project", project::kProjectFilter, project::kProjectExtension,
                                             o.initialDirOpenProject);
    if (path.empty()) return;
    openProjectFile(path);
}

bool ProjectCommands::openProjectFile(const std::string& path) {
    if (w_.mutableState().busy) return false;
    settings::MainOptions& o = w_.storedOptions();
    o.initialDirOpenProject = o.initialDirSaveProject = platform::parentPath(path);
    // The current settings go to the store first, so a failed load can bring them back.
    if (isRegularFile(path) && w_.settingsStorage()) w_.settingsStorage()->SaveSettings(w_.collectSettings(), true);
    if (!loadProject(path)) return false;
    emit projectUsed(path);
    return true;
}

bool ProjectCommands::loadProject(const std::string& fileName) {
    if (!isRegularFile(fileName)) {
        report("File \"" + fileName + "\" not found", true);
        if (commandLine_) commandLine_->state().CommandLineError = true;
        w_.runState().stop = true;
        return false;
    }
    project::ProjectValues values{w_.collectSettings(), batch_->table()};
    const platform::LocaleFormats& dates = w_.localeFormats() ? *w_.localeFormats() : ownDates_;
    const std::optional<std::string> bytes = platform::readWholeFile(fileName);
    const project::ProjectRead read = bytes ? project::readProjectFile(*bytes, dates, values) : project::ProjectRead{};

    if (!read.correct) {
        // The file is incorrect: the fields are emptied and the stored settings come back.
        projectSettingsLoaded_ = false;
        w_.restoreAfterIncorrectProject();
        if (!commandLine_ || !commandLine_->state().CommandMode || commandLine_->state().ShowMessages) {
            if (commandLine_) commandLine_->notify(driver_, "Incorrect project file", false, engine::MessageIcon::Error);
            else w_.prompter().messageBox(kProgramTitle, "Incorrect project file", engine::MessageIcon::Error);
        }
        if (commandLine_) commandLine_->state().CommandLineError = true;
        return false;
    }

    w_.applyProject(values.settings);

    // The settings dialogs take the project's values too, so a run from the command line
    // modifies files as the same project opened in the window would.
    if (read.settingsLoaded) {
        projectSettingsLoaded_ = true;
        settings::DialogSettings& d = w_.dialogSettings();
        d.browseComboBox = std::clamp(d.browseComboBox, 0, 10);
        w_.applyDialogSettings();
    }
    batch_->setTable(values.batch);
    return true;
}

// --- Batch Replace ---

void ProjectCommands::BatchReplace1Click() {
    if (w_.mutableState().busy) return;
    w_.runState().stop = false;
    w_.mutableState().userIntervention = false;
    w_.showTab(engine::Tab::SearchAndReplace);
    WindowPrompter* modal = w_.dialogPrompter();
    const int result = modal ? modal->runModal(*batch_) : batch_->exec();
    if (result == QDialog::Accepted) {
        if (w_.modificationType() == engine::ModificationType::None) {
            w_.prompter().messageBox(kProgramTitle, kNoneMessage, engine::MessageIcon::Exclamation);
            return;
        }
        project::runBatchTable(driver_, batch_->table());
    }
    w_.runState().stop = false;
    w_.mutableState().userIntervention = false;
    if (w_.listVisible()) w_.allowHideSearchList();
}

}  // namespace vsr::ui
