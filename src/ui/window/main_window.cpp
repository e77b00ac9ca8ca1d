#include "ui/window/main_window.h"

#include "ui/window/find_window.h"

namespace vsr::ui {

MainWindow::MainWindow(const WindowServices& services) : window_(std::make_unique<TFind>(services)) {}

MainWindow::~MainWindow() = default;

QMainWindow& MainWindow::widget() { return *window_; }

CommandLineSessionHost& MainWindow::sessionHost() { return *window_; }

void MainWindow::show() {
    if (window_->state().maximizedAtStart) window_->showMaximized();
    else window_->show();
}

}  // namespace vsr::ui
