#include "ui/commands/command_line_session.h"

#include <QTimer>
#include <cctype>
#include <filesystem>
#include <iostream>

#include "platform/text_encoding.h"

#include "platform/file_read.h"
#include "durable/safe_writer.h"
#include "platform/attribute_changer.h"
#include "ui/common/app_info.h"
#include "ui/commands/project_commands.h"

namespace vsr::ui {

void CommandLinePrompter::messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) {
    if (run_ && host_ && run_->running()) {
        run_->engineMessage(*host_, text);
        return;
    }
    show(caption, text, icon);
}

void CommandLinePrompter::show(const std::string& caption, const std::string& text, engine::MessageIcon icon) {
    if (unattended_ || !inner_) {
        std::cerr << caption << ": " << text << std::endl;
        return;
    }
    inner_->messageBox(caption, text, icon);
}

std::string CommandLinePrompter::selectFolder(const std::string& title, const std::string& start) {
    return unattended_ || !inner_ ? std::string() : inner_->selectFolder(title, start);
}

void CommandLinePrompter::showAbout(QWidget* parent) {
    if (!unattended_ && inner_) inner_->showAbout(parent);
}

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The search and replacement switches in the chosen single-byte page when a UTF-8 locale typed
// them. Any other command line is taken byte for byte, as the C locale of a cron job gives no
// meaning to bytes above ASCII. A text the page cannot hold becomes the field's text as typed
// (UTF-8 behind a byte order mark, as the window keeps such texts), so the run refuses it with
// the message that names the character instead of searching for the bytes of its UTF-8 form.
std::vector<std::string> typedArguments(std::vector<std::string> arguments, platform::CodePageId encoding) {
    const platform::CodePageId locale = platform::systemCodePage();
    if (locale != platform::CodePageId::Utf8 || encoding == platform::CodePageId::Utf8) return arguments;
    for (std::string& argument : arguments) {
        const std::size_t start = argument.find_first_not_of(" \t");
        if (start == std::string::npos) continue;
        // Switch names are taken in either case: "-S1=" is "-s1=".
        std::string name(std::string_view(argument).substr(start, 4));
        for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (name != "-s1=" && name != "-r1=" && name != "-s2=" && name != "-r2=") continue;
        const std::u16string text = platform::decodeText(locale, argument);
        platform::EncodedText typed = platform::encodeText(encoding, text);
        if (!typed.refused) argument = std::move(typed.bytes);
        else argument.insert(start + 4, kUtf8Mark);
    }
    return arguments;
}

bool isFolder(const std::string& name) {
    std::error_code ec;
    return std::filesystem::is_directory(name, ec);
}

}  // namespace

CommandLineSession::CommandLineSession(CommandLineSessionHost& window, CommandLinePrompter& prompter,
                                       std::vector<std::string> arguments, std::string commandLine)
    : QObject(&window.windowWidget()),
      w_(window),
      prompter_(prompter),
      projects_(&window.projectCommands()),
      run_(typedArguments(std::move(arguments), window.textEncoding()), std::move(commandLine), isFolder) {
    projects_->setCommandLine(&run_);
    projects_->driver().setMessages(&prompter_.direct(), prompter_.unattended());
    prompter_.attach(&run_, &projects_->driver());
}

CommandLineSession::~CommandLineSession() {
    prompter_.attach(nullptr, nullptr);
    if (projects_) projects_->setCommandLine(nullptr);
}

void CommandLineSession::start() {
    const project::StartupScan scan = run_.startup();
    bool opened = false;
    if (scan.anyArguments) {
        if (scan.first.pathForm) projects_->driver().setField(project::RunField::Path, scan.first.path);
        else opened = projects_->loadProject(scan.first.projectFile);
    }
    run_.enterCommandMode(scan);
    // A project the desktop opened for the user (a double-click) is a recent project; a -com
    // run's is not.
    if (opened && !run_.state().CommandMode) projects_->noteOpened(scan.first.projectFile);
    if (run_.state().CommandMode) QTimer::singleShot(0, this, &CommandLineSession::runIfDue);
}

void CommandLineSession::runIfDue() {
    if (w_.state().busy) return;
    const bool failed = run_.idle(projects_->driver());
    // Without a person, a run that stopped short would wait for ever: it closes as well.
    if (failed || (run_.state().CommandMode && prompter_.unattended()))
        QTimer::singleShot(0, &w_.windowWidget(), &QWidget::close);
}

int CommandLineSession::finish() {
    if (run_.cutShort()) {
        const std::string text = run_.noteCutShort();
        // Nobody saw the window: the status alone would not say why the run failed.
        if (prompter_.unattended()) std::cerr << kProgramTitle << ": " << text << std::endl;
    }
    if (auto report = run_.reportFile()) {
        platform::PosixAttributeChanger().makeWritable(report->first);
        durable::writeFileAtomically(report->first, report->second);  // a failure is ignored
    }
    return run_.exitStatus();
}

bool asksForCommandRun(const std::vector<std::string>& arguments) {
    project::CommandLineState state;
    const project::StartupScan scan = project::scanStartup(arguments, "", state, isFolder);
    return scan.commandMode;
}

}  // namespace vsr::ui
