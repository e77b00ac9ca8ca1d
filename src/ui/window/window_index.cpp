#include "ui/window/window_index.h"

#include <QTimer>

#include "platform/tree_watch.h"

namespace vsr::ui {

WindowIndex::WindowIndex(QObject* parent, std::function<void(const std::string&)> status)
    : QObject(parent), keeper_(fs_, clock_, platform::makeSystemTreeWatch()), status_(std::move(status)) {
    poll_ = new QTimer(this);
    poll_->setInterval(500);
    connect(poll_, &QTimer::timeout, this, [this] {
        if (inRun_) return;
        keeper_.poll();
        showStatus();
    });
    poll_->start();
}

WindowIndex::~WindowIndex() = default;

engine::IndexSkip* WindowIndex::beforeRun(const engine::SearchConditions& c) {
    inRun_ = true;
    return keeper_.beforeRun(c);
}

void WindowIndex::afterRun() {
    inRun_ = false;
    keeper_.afterRun();
    showStatus();
}

void WindowIndex::showStatus() {
    const std::string text = keeper_.takeStatus();
    if (!text.empty() && status_) status_(text);
}

}  // namespace vsr::ui
