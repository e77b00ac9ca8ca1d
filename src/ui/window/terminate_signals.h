#pragma once
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace vsr::ui {

// Turns SIGTERM and SIGINT into a normal close of the window: the signal handler only writes
// a byte to a socket pair, and the event loop runs `onTerminate` when it reads it.
class TerminateSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminateSignals(std::function<void()> onTerminate, QObject* parent = nullptr);
    ~TerminateSignals() override;
    bool installed() const { return notifier_ != nullptr; }

private:
    std::function<void()> onTerminate_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vsr::ui
