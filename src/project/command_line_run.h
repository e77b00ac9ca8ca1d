#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/search/search_sink.h"
#include "project/command_line.h"

namespace vsr::project {

// The fields a command-line switch sets.
enum class RunField { SearchEdit, Edit2, SearchMemo, Memo2, Path, Masks };

// What a command-line run needs from the main window, which it drives as a user would.
class CommandLineHost {
public:
    virtual ~CommandLineHost() = default;
    // A message box with the program's title, the icon and OK.
    virtual void showMessage(const std::string& text, engine::MessageIcon icon) = 0;
    // No person is there to answer: shown messages are also logged.
    virtual bool unattended() const { return false; }
    virtual bool stopRequested() = 0;
    virtual void requestStop() = 0;
    // The user pressed Stop or used the list's commands during the run.
    virtual bool userIntervened() = 0;
    virtual void showSearchReplaceTab() = 0;
    // Sets a field's text; a combo box keeps its history list.
    virtual void setField(RunField field, const std::string& text) = 0;
    virtual RunFields runFields() = 0;
    // The Path field names an existing folder, or the run searches the list and needs none.
    virtual bool pathIsFolder() = 0;
    virtual void deselectRow() = 0;
    // The Search button of the Search and Replace tab.
    virtual void runSearch() = 0;
    // One pass of the window's idle state refresh.
    virtual void refreshIdleState() = 0;
    virtual void modifyAll() = 0;
    // Save List to `file` without a dialog, the file's attributes cleared first, beginning
    // with the command line. False when the file could not be written.
    virtual bool saveList(const std::string& file, const std::string& commandLine) = 0;
    // Each row the last Modify All left as "Failed Modification": its full name, and why when
    // that is known ("PATH: Failed Modification: it changed since it was read").
    virtual std::vector<std::string> failedFiles() = 0;
    virtual void closeWindow() = 0;
};

// One process's command line: the start-up scan, the run at the first idle pass, error
// reports and the report file written when the program closes after an error.
class CommandLineRun {
public:
    // `arguments` from argument 1 on; `commandLine` the process's command line as a text;
    // `isFolder` tells whether argument 1 is a folder to search rather than a project.
    CommandLineRun(std::vector<std::string> arguments, std::string commandLine, FolderTest isFolder = {});

    CommandLineState& state() { return state_; }
    const CommandLineState& state() const { return state_; }
    const std::string& commandLine() const { return commandLine_; }

    // Steps 1 to 5 of the start-up: the caller then sets the path or loads the project, and
    // calls enterCommandMode.
    StartupScan startup();
    void enterCommandMode(const StartupScan& scan) { state_.CommandMode = scan.commandMode; }

    // A message of the run or of the project loader: shown unless a command-line run asked
    // for no messages (without a person, where showing it writes it to standard error, it is
    // always shown), logged when `logIt` and logging is on.
    void notify(CommandLineHost& host, const std::string& text, bool logIt,
                engine::MessageIcon icon = engine::MessageIcon::Exclamation);
    // A command-line error: stop, CommandLineError, message and log by the switches.
    void reportError(CommandLineHost& host, const std::string& text);
    // A message box the engine raised during the run: it ends the run as an error.
    void engineMessage(CommandLineHost& host, const std::string& text);

    // Whether a run is under way (between the idle trigger and its end).
    bool running() const { return running_; }

    // The idle trigger: performs the run once. True when the window is to close because
    // the run ended with an error.
    bool idle(CommandLineHost& host);
    void run(CommandLineHost& host);

    // The report file to write when the program closes, for a run that asked for one: after an
    // error, after files it could not modify, and after a stop that cut it short.
    std::optional<std::pair<std::string, std::string>> reportFile() const;
    // 0 after a successful run; 1 after an error, and after a run that a stop (the Stop button,
    // SIGTERM, SIGINT) or the user's intervention cut short or kept from starting, since the
    // caller can't tell which files it left unmodified; kExitFilesFailed after a run that got
    // to its end with files it could not modify.
    int exitStatus() const;
    static constexpr int kExitFilesFailed = 3;
    // A command-line run was asked for and did not end as one: stopped, and not by an error.
    bool cutShort() const { return state_.CommandMode && !state_.CommandLineError && !state_.RunCompleted; }
    // Notes in the log, as the last error, that the run was cut short (call it once, when the
    // program closes); the text, for standard error.
    std::string noteCutShort();
    // Every error text of the process, logged or not, for standard error.
    const std::vector<std::string>& errors() const { return errors_; }

private:
    void performRun(CommandLineHost& host);

    std::vector<std::string> arguments_;
    std::string commandLine_;
    FolderTest isFolder_;
    CommandLineState state_;
    std::vector<std::string> errors_;
    bool running_ = false;
};

}  // namespace vsr::project
