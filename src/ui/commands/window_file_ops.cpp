#include "ui/commands/window_file_ops.h"

#include <QEvent>
#include <QTimer>

#include "engine/decode/container_text.h"
#include "engine/search/search_sink.h"
#include "fileops/copy_files.h"
#include "fileops/delete_files.h"
#include "fileops/disk_files.h"
#include "fileops/editor_command.h"
#include "fileops/member_refusal.h"
#include "fileops/program_lookup.h"
#include "fileops/rename_files.h"
#include "platform/file_system.h"
#include "ui/commands/window_member_copies.h"
#include "ui/prompt/window_prompter.h"
#include "ui/prompt/file_ops_dialogs.h"
#include "ui/lines/lines_viewer.h"
#include "ui/lines/lines_browser.h"
#include "ui/list/list_commands.h"
#include "ui/dialogs/rename_dialog.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"

namespace vsr::ui {

namespace {
constexpr const char* kInformation = "Information";
}  // namespace

WindowFileOps::WindowFileOps(WindowFileOpsHost& window, Services services)
    : QObject(&window.windowWidget()),
      w_(window),
      services_(services),
      dialogs_(std::make_unique<FileOpsDialogs>(&window.windowWidget(), services.dialogs, window.prompter(),
                                                window.metrics())),
      rename_(std::make_unique<TRenameDlg>(window.prompter(), &window.windowWidget())),
      members_(std::make_unique<WindowMemberCopies>(window, services.browser)) {
    // Copies of members that runs of the program which ended without cleaning up left behind.
    fileops::MemberCopies::removeLeftovers(members_->base());
    CommandSet& commands = w_.commands();
    commands.setHandler(Command::CopyFiles, [this] { CopyFiles1Click(); });
    commands.setHandler(Command::DeleteFiles, [this] { DeleteFiles1Click(); });
    commands.setHandler(Command::RenameFiles, [this] { RenameFilesClick(); });
    commands.setHandler(Command::ExecuteFile, [this] { GotoSpeedButtonClick(); });
    commands.setHandler(Command::EditFile, [this] { FileEditSpeedClick(); });
    commands.setHandler(Command::OpenDirectory, [this] { OpenDirectoryClick(); });
    w_.listCommands().openRowHandler = [this](int row) { openListedFile(row); };
    rename_->onRename = [this](const fileops::RenameCommands&) { renameNow(); };

    watchTimer_ = new QTimer(this);
    watchTimer_->setInterval(1000);
    connect(watchTimer_, &QTimer::timeout, this, &WindowFileOps::checkWatch);
    w_.windowWidget().installEventFilter(this);
}

WindowFileOps::~WindowFileOps() = default;

bool WindowFileOps::eventFilter(QObject* watched, QEvent* event) {
    // Coming back to the window from the other program is when a saved file shows.
    if (watched == &w_.windowWidget() && event->type() == QEvent::WindowActivate && watch_.watching())
        QTimer::singleShot(0, this, &WindowFileOps::checkWatch);
    return false;
}

bool WindowFileOps::held() const {
    return w_.state().busy || services_.browser.pumpedWork() || members_->running();
}

// --- Copy Files ---

void WindowFileOps::CopyFiles1Click() {
    if (held()) return;
    results::ResultList& list = w_.results();
    if (list.selectedCount() == 0) return;
    std::string& remembered = w_.storedOptions().initialDirwCopy;
    // The program's own folder is no place for copies here; the home folder is.
    if (remembered.empty()) remembered = w_.homeFolder();
    std::string folder = services_.dialogs.selectFolder("Select the directory", remembered);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    remembered = folder;
    if (folder.empty()) return;
    // Members of archives are written out first and copied from there, under their own names.
    members_->newCommand();
    const fileops::CopyOutcome out = fileops::CopySelectedFiles(list, folder, *dialogs_, nullptr, members_.get());
    if (!out.failures.empty()) dialogs_->message(fileops::kCopyFailedCaption, fileops::copyFailureText(out.failures));
    w_.listCommands().UpdateListCommands();
}

// --- Delete Files ---

void WindowFileOps::DeleteFiles1Click() {
    if (held()) return;
    results::ResultList& list = w_.results();
    if (list.selectedCount() == 0) return;
    const fileops::DeleteOutcome out =
        fileops::DeleteSelectedFiles(list, *dialogs_, services_.trash, services_.attributes);
    if (!out.confirmed) return;
    showSelectionAfterLoop();
    if (out.rowsToRemove) w_.listCommands().DeleteSelectedItems();
    else w_.listCommands().UpdateListCommands();
}

void WindowFileOps::showSelectionAfterLoop() {
    w_.listSelectionChanged();
    if (w_.results().selectedCount() == 0) {
        w_.disableLineCommands();
        w_.commands().setAllowed(Command::DeleteItems, false);
    }
}

// --- Rename Files ---

void WindowFileOps::RenameFilesClick() {
    if (held()) return;
    results::ResultList& list = w_.results();
    if (list.selectedCount() == 0) return;
    // Members of archives are never renamed: said before the dialog asks for the new names.
    if (const std::string refused = fileops::memberRefusal(list, "rename"); !refused.empty()) {
        dialogs_->message(fileops::kRenameErrorCaption, refused);
        return;
    }
    services_.dialogs.runModal(*rename_);
    // The Lines Viewer's file got another name: it no longer shows a listed file.
    const long long browsed = list.browsedIndex;
    if (browsed >= 0 && static_cast<std::size_t>(browsed) < list.count() &&
        list.row(static_cast<std::size_t>(browsed)).name != list.browsedName) {
        list.deselectAll();
        showSelectionAfterLoop();
    }
    w_.listCommands().UpdateListCommands();
}

void WindowFileOps::renameNow() {
    results::ResultList& list = w_.results();
    const fileops::RenameOutcome out = fileops::RenameSelectedFiles(list, rename_->commands(), *dialogs_,
                                                                    services_.attributes, services_.typeNames);
    if (out.renamedRows.empty()) return;
    // The backups of the last modification carry the old names.
    w_.commands().setAllowed(Command::Undo, false);
    for (std::size_t row : out.renamedRows)
        if (static_cast<long long>(row) == list.currentIndex) list.currentFullName = list.row(row).fullName();
}

// --- Execute File, Edit File, Open Directory ---

std::string WindowFileOps::browsedFullName() const {
    const results::ResultList& list = w_.results();
    if (list.browsedName.empty()) return {};
    return platform::joinPath(list.browsedPath, list.browsedName);
}

std::string WindowFileOps::openedCopy(const std::string& file, const std::string& archive) {
    members_->newCommand();
    const std::atomic<bool> noStop = false;
    const fileops::MemberCopies::Written copy =
        members_->write(archive, file, fileops::MemberCopies::Use::Open, noStop);
    if (copy.path.empty() && !members_->stopped())
        w_.prompter().messageBox(kInformation, "Cannot open " + file + ": " + copy.error,
                                 engine::MessageIcon::Exclamation);
    // The window may have been closed while the member was read: nothing opens then.
    if (!w_.windowWidget().isVisible()) return {};
    return copy.path;
}

void WindowFileOps::execute(const std::string& folder, const std::string& name) {
    const std::string file = platform::joinPath(folder, name);
    // A member of an archive opens as a read-only copy; its archive never changes, so there is
    // nothing to watch.
    if (const std::string archive = engine::archiveOnDisk(file); !archive.empty()) {
        if (const std::string copy = openedCopy(file, archive); !copy.empty()) services_.launcher.openFile(copy);
        return;
    }
    if (!fileops::fileExists(file)) {
        w_.prompter().messageBox(kInformation, "File " + file + " not found", engine::MessageIcon::Exclamation);
        watch_.arm();
        watchTimer_->start();
        w_.windowWidget().update();
        return;
    }
    watch_.remember(file);
    services_.launcher.openFile(file);
    watch_.arm();
    watchTimer_->start();
}

void WindowFileOps::GotoSpeedButtonClick() {
    if (held()) return;
    const results::ResultList& list = w_.results();
    if (list.browsedName.empty()) return;
    execute(list.browsedPath, list.browsedName);
}

void WindowFileOps::openListedFile(int row) {
    results::ResultList& list = w_.results();
    if (held() || row < 0 || static_cast<std::size_t>(row) >= list.count()) return;
    const results::ResultItem& item = list.row(static_cast<std::size_t>(row));
    execute(item.path, item.name);
}

void WindowFileOps::FileEditSpeedClick() {
    if (held()) return;
    const results::ResultList& list = w_.results();
    if (list.browsedName.empty()) return;
    const std::string file = browsedFullName();
    const std::string archive = engine::archiveOnDisk(file);
    fileops::EditTarget target{list.browsedPath, list.browsedName, 1};
    const LinesViewer* viewer = w_.linesViewer();
    if (const std::int64_t line = viewer->content().lineNumberAt(viewer->currentIndex()); line > 0)
        target.line = line;
    const fileops::EditorLaunch launch =
        fileops::editorLaunch(w_.settingsDialogs().settings().editorCommand(), target);
    const std::optional<std::string> program = fileops::findProgram(launch.program, fileops::programSearchPath());
    if (!program) {
        w_.prompter().messageBox(kInformation, "Editor " + launch.program + " not found",
                                 engine::MessageIcon::Exclamation);
        watch_.arm();
        watchTimer_->start();
        w_.windowWidget().update();
        return;
    }
    if (!archive.empty()) {
        // The editor gets a read-only copy of the member, at the same line.
        const std::string copy = openedCopy(file, archive);
        if (copy.empty()) return;
        target.folder = platform::parentPath(copy);
        const fileops::EditorLaunch onCopy =
            fileops::editorLaunch(w_.settingsDialogs().settings().editorCommand(), target);
        services_.launcher.startProgram(*program, onCopy.arguments, platform::parentPath(*program));
        return;
    }
    if (fileops::fileExists(file)) watch_.remember(file);
    services_.launcher.startProgram(*program, launch.arguments, platform::parentPath(*program));
    watch_.arm();
    watchTimer_->start();
}

void WindowFileOps::OpenDirectoryClick() {
    if (held()) return;
    const results::ResultList& list = w_.results();
    std::string folder, name;
    if (w_.linesViewer()->isVisible() && w_.linesViewer()->hasLines() && !list.browsedName.empty()) {
        folder = list.browsedPath;
        name = list.browsedName;
    } else if (const long long row = list.firstSelected(); row >= 0) {
        folder = list.row(static_cast<std::size_t>(row)).path;
        name = list.row(static_cast<std::size_t>(row)).name;
    } else {
        return;
    }
    // A member's folder is inside its archive: the file manager shows the archive in its folder.
    if (const std::string archive = engine::archiveOnDisk(platform::joinPath(folder, name)); !archive.empty()) {
        services_.fileManager.showItem(archive);
        w_.setStatusText(engine::kPathPanel, "Shown in its folder: the archive " + archive);
        w_.windowWidget().update();
        return;
    }
    if (!fileops::folderExists(folder)) {
        w_.prompter().messageBox(kInformation, "Directory " + folder + " not found", engine::MessageIcon::Exclamation);
        w_.windowWidget().update();
        return;
    }
    services_.fileManager.showItem(platform::joinPath(folder, name));
    w_.windowWidget().update();
}

// --- the watch ---

void WindowFileOps::checkWatch() {
    if (!watch_.watching()) {
        watchTimer_->stop();
        return;
    }
    if (held()) return;
    const std::string file = browsedFullName();
    if (file.empty() || !watch_.changed(file)) return;
    watchTimer_->stop();
    w_.runState().stop = false;
    results::ResultList& list = w_.results();
    LinesViewer* viewer = w_.linesViewer();
    if (viewer->hasLines() && viewer->content().browsedFullName == file && list.browsedIndex >= 0 &&
        static_cast<std::size_t>(list.browsedIndex) < list.count())
        services_.browser.fillRow(static_cast<std::size_t>(list.browsedIndex), engine::FillPurpose::Browse);
}

}  // namespace vsr::ui
