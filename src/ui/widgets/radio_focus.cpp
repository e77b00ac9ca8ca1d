#include "ui/widgets/radio_focus.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QEvent>

namespace vsr::ui {

namespace {

// Keeps one button of the group in the tab chain, following the checked button and the
// buttons being enabled or disabled.
class RadioGroupFocus : public QObject {
public:
    explicit RadioGroupFocus(QButtonGroup* group) : QObject(group), group_(group) {
        connect(group, &QButtonGroup::buttonToggled, this, [this] { update(); });
        for (QAbstractButton* b : group->buttons()) b->installEventFilter(this);
        update();
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) update();
        return false;
    }

private:
    void update() {
        const QList<QAbstractButton*> buttons = group_->buttons();
        QAbstractButton* stop = group_->checkedButton();
        if (!stop || !stop->isEnabled()) {
            stop = nullptr;
            for (QAbstractButton* b : buttons)
                if (b->isEnabled()) {
                    stop = b;
                    break;
                }
        }
        // The others still take the focus by a click and by the arrow keys.
        for (QAbstractButton* b : buttons) b->setFocusPolicy(b == stop || !stop ? Qt::StrongFocus : Qt::ClickFocus);
    }

    QButtonGroup* group_;
};

}  // namespace

void tabToCheckedButton(QButtonGroup* group) {
    // Once per group, after its buttons were added.
    if (group) new RadioGroupFocus(group);
}

}  // namespace vsr::ui
