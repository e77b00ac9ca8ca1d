#pragma once
#include <QTimer>
#include <QWidget>

namespace vsr::ui {

// The small animation that runs while a search works: a ring of dots whose bright dot
// travels round. It is driven by a timer, so it moves whenever the run lets events through.
class BusyIndicator : public QWidget {
    Q_OBJECT
public:
    explicit BusyIndicator(QWidget* parent = nullptr);
    void start();
    void stop();
    bool isActive() const { return timer_.isActive(); }
    int frame() const { return frame_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QTimer timer_;
    int frame_ = 0;
};

}  // namespace vsr::ui
