#include "project/command_line_run.h"

#include "project/bar_lines.h"

namespace vsr::project {

namespace {

constexpr const char* kCutShortMessage = "The run was stopped before it ended; some files may not have been modified";

}  // namespace

CommandLineRun::CommandLineRun(std::vector<std::string> arguments, std::string commandLine, FolderTest isFolder)
    : arguments_(std::move(arguments)), commandLine_(std::move(commandLine)), isFolder_(std::move(isFolder)) {}

StartupScan CommandLineRun::startup() {
    errors_.clear();
    return scanStartup(arguments_, commandLine_, state_, isFolder_);
}

void CommandLineRun::notify(CommandLineHost& host, const std::string& text, bool logIt, engine::MessageIcon icon) {
    errors_.push_back(text);
    const bool show = !state_.CommandMode || state_.ShowMessages;
    // Nobody reads a script's message boxes, but its standard error is kept.
    if (show || host.unattended()) host.showMessage(text, icon);
    // Without a person to read the box, its text goes to the log as well.
    if (state_.LogEnabled && (logIt || (show && host.unattended()))) state_.log.push_back(text);
}

void CommandLineRun::reportError(CommandLineHost& host, const std::string& text) {
    host.requestStop();
    state_.CommandLineError = true;
    notify(host, text, true);
}

void CommandLineRun::engineMessage(CommandLineHost& host, const std::string& text) {
    reportError(host, text);
}

bool CommandLineRun::idle(CommandLineHost& host) {
    if (!state_.CommandMode || !state_.RunPending) return false;
    state_.RunPending = false;
    run(host);
    return state_.CommandLineError;
}

void CommandLineRun::run(CommandLineHost& host) {
    running_ = true;
    performRun(host);
    running_ = false;
}

void CommandLineRun::performRun(CommandLineHost& host) {
    if (state_.CommandLineError) {
        host.requestStop();
        return;
    }
    if (host.stopRequested()) return;
    host.showSearchReplaceTab();

    RunSwitches switches = readRunSwitches(arguments_, state_);
    if (switches.searchEdit) host.setField(RunField::SearchEdit, *switches.searchEdit);
    if (switches.edit2) host.setField(RunField::Edit2, *switches.edit2);
    if (switches.searchMemo) host.setField(RunField::SearchMemo, barLinesText(*switches.searchMemo));
    if (switches.memo2) host.setField(RunField::Memo2, barLinesText(*switches.memo2));
    if (switches.path) host.setField(RunField::Path, *switches.path);
    if (switches.masks) host.setField(RunField::Masks, *switches.masks);
    // An incorrect parameter is an error but does not stop the remaining checks.
    for (const std::string& text : switches.incorrect) {
        state_.CommandLineError = true;
        notify(host, text, true);
    }
    const RunFields fields = host.runFields();
    for (const std::string& text : validateRunFields(fields)) reportError(host, text);
    // A folder that isn't there would search nothing and look like a run with nothing to do.
    if (!trimLeadingBlanks(fields.path).empty() && !host.pathIsFolder())
        reportError(host, "Directory \"" + std::string(trimBlanks(fields.path)) + "\" not found");
    if (state_.CommandLineError) {
        host.deselectRow();
        host.requestStop();
        return;
    }

    host.runSearch();
    if (host.stopRequested()) {
        host.deselectRow();
        return;
    }
    state_.ViewerSuppressed = true;
    host.refreshIdleState();
    if (host.stopRequested()) state_.ViewerSuppressed = false;
    const bool intervenedInSearch = host.userIntervened();
    if (!intervenedInSearch) {
        host.modifyAll();
        if (host.stopRequested()) state_.ViewerSuppressed = false;
        // Files left as they were are not a success; the run goes on to its end all the same.
        for (const std::string& failure : host.failedFiles()) {
            state_.FilesFailed = true;
            errors_.push_back(failure);
            if (host.unattended()) host.showMessage(failure, engine::MessageIcon::Error);
            if (state_.LogEnabled) state_.log.push_back(failure);
        }
    }
    if (!state_.ListFileName.empty()) {
        // Nobody would learn of a list that is missing: it is an error of the run.
        if (!host.saveList(state_.ListFileName, commandLine_))
            reportError(host, "The list could not be written to " + state_.ListFileName);
        state_.ListFileName.clear();
    }
    if (!host.userIntervened() && !state_.CommandLineError) {
        state_.RunCompleted = true;
        host.closeWindow();
    } else {
        host.deselectRow();
        host.requestStop();
    }
}

int CommandLineRun::exitStatus() const {
    if (!state_.CommandMode) return 0;
    if (state_.CommandLineError || !state_.RunCompleted) return 1;
    return state_.FilesFailed ? kExitFilesFailed : 0;
}

std::string CommandLineRun::noteCutShort() {
    errors_.emplace_back(kCutShortMessage);
    if (state_.LogEnabled) state_.log.emplace_back(kCutShortMessage);
    return kCutShortMessage;
}

std::optional<std::pair<std::string, std::string>> CommandLineRun::reportFile() const {
    if (!state_.CommandMode || !state_.LogEnabled) return std::nullopt;
    if (!state_.CommandLineError && !state_.FilesFailed && state_.RunCompleted) return std::nullopt;
    return std::make_pair(state_.ReportFileName, logFileBytes(state_.log));
}

}  // namespace vsr::project
