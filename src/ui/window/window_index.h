#pragma once
#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "engine/query/search_conditions.h"
#include "engine/search/index_keeper.h"
#include "platform/clock.h"
#include "platform/posix_file_system.h"

class QTimer;

namespace vsr::ui {

// The content index of the folder the window searches ("Index this folder for fast searches"):
// the keeper, the file system its thread reads with, and the timer that hands it the watch's
// news while the window waits. `status` shows what the index did.
class WindowIndex final : public QObject {
public:
    WindowIndex(QObject* parent, std::function<void(const std::string&)> status);
    ~WindowIndex() override;

    // The skip for a run of `c`, or null.
    engine::IndexSkip* beforeRun(const engine::SearchConditions& c);
    // After that run.
    void afterRun();

private:
    void showStatus();

    platform::PosixFileSystem fs_;
    platform::SteadyClock clock_;
    engine::IndexKeeper keeper_;
    std::function<void(const std::string&)> status_;
    QTimer* poll_ = nullptr;
    bool inRun_ = false;
};

}  // namespace vsr::ui
