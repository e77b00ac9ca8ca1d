#pragma once
#include <memory>

#include "ui/window/window_services.h"

class QMainWindow;

namespace vsr::ui {

class CommandLineSessionHost;
class TFind;

// The main window as the program around it sees it: made from the services, closed by a
// signal, the host of the command line's session, and shown as the user left it.
class MainWindow {
public:
    explicit MainWindow(const WindowServices& services);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    QMainWindow& widget();
    CommandLineSessionHost& sessionHost();
    // Maximised when it was left so at the last end.
    void show();

private:
    std::unique_ptr<TFind> window_;
};

}  // namespace vsr::ui
