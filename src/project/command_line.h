#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/query/search_conditions.h"

namespace vsr::project {

// The switches and error state of a command-line run, and its log.
struct CommandLineState {
    bool CommandMode = false;    // "-com": the run takes place
    bool ShowMessages = false;   // "-shr": errors are also shown in message boxes
    bool LogEnabled = false;     // "-fr=": errors are collected and written to ReportFileName
    std::string ReportFileName;
    std::string ListFileName;    // "-fs=": Save List writes here without asking
    bool CommandLineError = false;
    bool RunPending = true;
    bool RunCompleted = false;   // the run got to its end and closed the window
    bool FilesFailed = false;    // Modify All left files as "Failed Modification"
    bool ViewerSuppressed = false;
    std::vector<std::string> log;
};

// One switch argument: the first four characters (ASCII letters lowered) and the rest as
// written. Blanks before the name are ignored.
struct Switch {
    std::string name;
    std::string value;
};
Switch splitSwitch(std::string_view argument);

std::string_view trimLeadingBlanks(std::string_view text);
std::string_view trimBlanks(std::string_view text);

// Whether a name is that of an existing folder.
using FolderTest = std::function<bool(const std::string&)>;

// Argument 1: "-path" and a separator character, then the Path field's text; an existing
// folder (as a file manager's "Open With" passes it), which is taken the same way, made
// absolute; anything else names a project file.
struct FirstArgument {
    bool pathForm = false;
    std::string path;         // the Path field's text (pathForm)
    std::string projectFile;  // leading blanks removed (otherwise)
};
FirstArgument readFirstArgument(std::string_view argument, const FolderTest& isFolder = {});

// The start-up scan over the arguments from 1 on: resets the state, notes "-com", sets
// "-shr" and "-fr=" and starts the log. Command mode is returned rather than set, as it
// takes effect only after the project was loaded.
struct StartupScan {
    bool anyArguments = false;
    FirstArgument first;
    bool commandMode = false;
};
StartupScan scanStartup(const std::vector<std::string>& arguments, std::string_view processCommandLine,
                        CommandLineState& state, const FolderTest& isFolder = {});

// What the switches of a run set; the state's flags and file names are set directly.
struct RunSwitches {
    std::optional<std::string> searchEdit;  // "-s1="
    std::optional<std::string> edit2;       // "-r1="
    std::optional<std::string> searchMemo;  // "-s2=", lines joined by "\n"
    std::optional<std::string> memo2;       // "-r2="
    std::optional<std::string> path;        // "-pt="
    std::optional<std::string> masks;       // "-ms="
    // "Incorrect parameter" messages, in argument order.
    std::vector<std::string> incorrect;
};
RunSwitches readRunSwitches(const std::vector<std::string>& arguments, CommandLineState& state);

// The fields a run is checked on, as the window holds them when the run starts: their texts in
// UTF-8, whatever the chosen text encoding, so lengths count characters.
struct RunFields {
    std::string path;
    std::string masks;
    engine::SearchType searchType = engine::SearchType::Phrase;
    // Nothing when no modification type is chosen, which counts as None.
    std::optional<engine::ModificationType> modificationType;
    std::string searchEdit;
    std::string edit2;
    std::string searchMemo;  // lines joined by "\n"
    std::string memo2;
};

// Every failing check, in order, each message once.
std::vector<std::string> validateRunFields(const RunFields& fields);

// The log as written to the report file: one line each, CR LF line ends.
std::string logFileBytes(const std::vector<std::string>& log);

// The process's command line as one text: the arguments joined by blanks, an argument with
// blanks, quotes or nothing in it quoted, so it reads as it was typed.
std::string processCommandLineText(const std::vector<std::string>& argv);

// "--help" and "--version" as the only argument.
std::string commandLineUsage(std::string_view program);

}  // namespace vsr::project
