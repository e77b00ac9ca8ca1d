#include "toolkit_messages.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace vsr::app {

namespace {

QtMessageHandler previousHandler = nullptr;
bool quietWarnings = false;
const char* startingProgram = nullptr;

void onToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg && startingProgram) {
        // The toolkit has named the display it could not reach among its warnings and gives up
        // with advice for its own installation; one line says what happened, without a core dump.
        std::fprintf(stderr, "%s: cannot open the window: the display could not be opened\n", startingProgram);
        std::fflush(stderr);
        ::_exit(1);
    }
    if (quietWarnings && (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)) return;
    if (previousHandler) previousHandler(type, context, text);
    else std::fprintf(stderr, "%s\n", qPrintable(text));
}

void install() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    previousHandler = qInstallMessageHandler(onToolkitMessage);
}

}  // namespace

void keepToolkitWarningsQuiet() {
    quietWarnings = true;
    install();
}

void exitCleanlyIfNoWindowCanOpen(const char* program) {
    startingProgram = program;
    install();
}

void windowOpened() { startingProgram = nullptr; }

}  // namespace vsr::app
