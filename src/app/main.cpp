// The program: the application object, the desktop services and the main window.
#include <QApplication>
#include <QIcon>
#include <QMainWindow>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/mime_type_names.h"
#include "platform/linux/path_default_editor.h"
#include "platform/linux/qt_locale_formats.h"
#include "platform/linux/qt_settings_store.h"
#include "platform/linux/xdg_system_folders.h"
#include "durable/recovery_journal.h"
#include "platform/standard_descriptors.h"
#include "project/command_line.h"
#include "settings/settings_storage.h"
#include "ui/common/app_info.h"
#include "ui/commands/command_line_session.h"
#include "ui/prompt/qt_prompter.h"
#include "ui/window/main_window.h"
#include "ui/window/terminate_signals.h"
#include "ui/window/window_environment.h"
#include "toolkit_messages.h"

namespace {

bool hasText(const char* value) { return value && *value; }

}  // namespace

int main(int argc, char** argv) {
    vsr::platform::openMissingStandardDescriptors();
    // The command line as it was given, before the toolkit takes its own options out.
    const std::vector<std::string> argvCopy(argv, argv + argc);
    const std::string commandLine = vsr::project::processCommandLineText(argvCopy);
    if (argc >= 2 && (argvCopy[1] == "--help" || argvCopy[1] == "--version")) {
        const std::string text = argvCopy[1] == "--help" ? vsr::project::commandLineUsage("vantixsr")
                                                         : std::string(vsr::ui::kProgramTitle) + " " +
                                                               vsr::ui::kProgramVersion + "\n";
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    // A command-line run from cron or a CI job has no display: it runs the window offscreen.
    const std::vector<std::string> arguments(argvCopy.begin() + 1, argvCopy.end());
    const bool noDisplay = !hasText(std::getenv("DISPLAY")) && !hasText(std::getenv("WAYLAND_DISPLAY"));
    if (noDisplay && vsr::ui::asksForCommandRun(arguments)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        vsr::app::keepToolkitWarningsQuiet();
    } else if (noDisplay && !hasText(std::getenv("QT_QPA_PLATFORM"))) {
        std::fputs("vantixsr: cannot open the window: there is no display (DISPLAY and WAYLAND_DISPLAY are unset).\n"
                   "Without a display only a run of a project works: vantixsr PROJECT.vsr -com [SWITCHES]\n",
                   stderr);
        return 1;
    }

    vsr::app::exitCleanlyIfNoWindowCanOpen("vantixsr");
    QApplication app(argc, argv);
    vsr::app::windowOpened();
    QApplication::setApplicationName(QString::fromUtf8(vsr::ui::kProgramTitle));
    QApplication::setApplicationVersion(QString::fromUtf8(vsr::ui::kProgramVersion));
    QApplication::setDesktopFileName(QStringLiteral("vantixsr"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vantixsr.png")));

    // Files a killed run left half rewritten are put back before anything reads them.
    const vsr::durable::RecoveryReport recovered = vsr::durable::recoverInterruptedWrites();

    vsr::platform::XdgSystemFolders folders;
    vsr::platform::QtSettingsStore store;
    vsr::platform::QtLocaleFormats formats;
    vsr::platform::MimeTypeNames typeNames;
    vsr::platform::PathDefaultEditor editor;
    vsr::settings::SettingsStorage storage(
        store, folders.dataFolder(), vsr::ui::windowEnvironment(folders.homeFolder(), editor.program(), &formats));

    // Message boxes follow the command line's rules; without a display nobody can answer them.
    vsr::ui::QtPrompter dialogs(nullptr);
    vsr::ui::CommandLinePrompter prompter(&dialogs, QGuiApplication::platformName() == QStringLiteral("offscreen"));
    vsr::ui::WindowServices services;
    services.prompter = &prompter;
    services.settings = &storage;
    services.formats = &formats;
    services.typeNames = &typeNames;
    services.homeFolder = folders.homeFolder();
    vsr::ui::MainWindow window(services);

    // SIGTERM and SIGINT close the window the normal way, so the settings are saved.
    vsr::ui::TerminateSignals terminate([&window] { window.widget().close(); });

    // Showing the window reads the command line: the path, or a project to load and run.
    auto* session = new vsr::ui::CommandLineSession(window.sessionHost(), prompter, arguments, commandLine);
    session->start();
    window.show();
    // Through the prompter, so a run without a display writes it to standard error instead.
    if (!recovered.empty())
        prompter.show(vsr::ui::kProgramTitle, vsr::durable::recoveryMessage(recovered), vsr::engine::MessageIcon::Warning);
    // The window has read its settings by now; a damaged file was kept aside while doing so.
    if (!store.damagedCopy().empty())
        prompter.show(vsr::ui::kProgramTitle,
                      vsr::platform::QtSettingsStore::damagedCopyMessage(store.filePath(), store.damagedCopy()),
                      vsr::engine::MessageIcon::Warning);
    const int status = app.exec();
    return status != 0 ? status : session->finish();
}
