#pragma once
#include <QObject>
#include <QPointer>
#include <string>
#include <vector>

#include "project/command_line_run.h"
#include "ui/commands/command_line_session_host.h"
#include "ui/prompt/window_prompter.h"

namespace vsr::ui {

class ProjectCommands;

// The window's message boxes during a command-line process: while the run is under way every
// message is an error of that run (shown only when it asked for messages, logged when it keeps
// a log); without a person to answer (no display), a shown message goes to standard error and
// the program goes on as if OK was pressed.
class CommandLinePrompter final : public WindowPrompter {
public:
    // `inner` null: the window's own dialogs are not used (no display).
    CommandLinePrompter(WindowPrompter* inner, bool unattended) : inner_(inner), unattended_(unattended) {}
    void attach(project::CommandLineRun* run, project::CommandLineHost* host) {
        run_ = run;
        host_ = host;
    }

    void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) override;
    std::string selectFolder(const std::string& title, const std::string& start) override;
    void showAbout(QWidget* parent) override;

    // A message box that is shown whatever the run state (the run's own reports).
    void show(const std::string& caption, const std::string& text, engine::MessageIcon icon);
    engine::Prompter& direct() { return direct_; }
    bool unattended() const { return unattended_; }

private:
    struct Direct final : engine::Prompter {
        explicit Direct(CommandLinePrompter& p) : owner(p) {}
        void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) override {
            owner.show(caption, text, icon);
        }
        CommandLinePrompter& owner;
    };
    WindowPrompter* inner_;
    bool unattended_;
    project::CommandLineRun* run_ = nullptr;
    project::CommandLineHost* host_ = nullptr;
    Direct direct_{*this};
};

// The command line of this process: read when the window is first shown (the path, or a
// project to load), the run at the first idle pass after it, and the report file and exit
// status once the window has closed.
class CommandLineSession : public QObject {
    Q_OBJECT
public:
    // `arguments` from argument 1 on.
    CommandLineSession(CommandLineSessionHost& window, CommandLinePrompter& prompter, std::vector<std::string> arguments,
                       std::string commandLine);
    ~CommandLineSession() override;

    // The start-up scan; with "-com" the run follows at the next idle pass.
    void start();
    // The idle trigger (also called by the timer start() sets).
    void runIfDue();
    // After the window closed: writes the report file when the run ended with an error, and
    // gives the process's exit status.
    int finish();

    project::CommandLineRun& run() { return run_; }

private:
    CommandLineSessionHost& w_;
    CommandLinePrompter& prompter_;
    // Destroyed with the window, possibly before this object.
    QPointer<ProjectCommands> projects_;
    project::CommandLineRun run_;
};

// Whether a start with these arguments (from argument 1 on) asks for a command-line run.
bool asksForCommandRun(const std::vector<std::string>& arguments);

}  // namespace vsr::ui
