#include "project/command_line_run.h"

#include "project/bar_lines.h"

namespace vsr::project {

CommandLineRun::CommandLineRun(std::vector<std::string> arguments, std::string commandLine)
    : arguments_(std::move(arguments)), commandLine_(std::move(commandLine)) {}

StartupScan CommandLineRun::startup() {
    errors_.clear();
    return scanStartup(arguments_, commandLine_, state_);
}

void CommandLineRun::notify(CommandLineHost& host, const std::string& text, bool logIt) {
    errors_.push_back(text);
    const bool show = !state_.CommandMode || state_.ShowMessages;
    if (show) host.showMessage(text);
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
    for (const std::string& text : validateRunFields(host.runFields())) reportError(host, text);
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
    }
    if (!state_.ListFileName.empty()) {
        host.saveList(state_.ListFileName, commandLine_);
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

std::optional<std::pair<std::string, std::string>> CommandLineRun::reportFile() const {
    if (!state_.CommandMode || !state_.LogEnabled || !state_.CommandLineError) return std::nullopt;
    return std::make_pair(state_.ReportFileName, logFileBytes(state_.log));
}

}  // namespace vsr::project
