#include "ui/window/terminate_signals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace vsr::ui {

namespace {

int signalPipe[2] = {-1, -1};
struct sigaction previousTerm {};
struct sigaction previousInt {};

// Only async-signal-safe work here.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[0], &byte, 1);
}

}  // namespace

TerminateSignals::TerminateSignals(std::function<void()> onTerminate, QObject* parent)
    : QObject(parent), onTerminate_(std::move(onTerminate)) {
    if (signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &previousTerm);
    ::sigaction(SIGINT, &action, &previousInt);
    notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte;
        [[maybe_unused]] ssize_t n = ::read(signalPipe[1], &byte, 1);
        if (onTerminate_) onTerminate_();
    });
}

TerminateSignals::~TerminateSignals() {
    if (!notifier_) return;
    ::sigaction(SIGTERM, &previousTerm, nullptr);
    ::sigaction(SIGINT, &previousInt, nullptr);
    delete notifier_;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

}  // namespace vsr::ui
