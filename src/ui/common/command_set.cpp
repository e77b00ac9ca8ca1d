#include "ui/common/command_set.h"

#include <QAbstractButton>
#include <QAction>

namespace vsr::ui {

void CommandSet::bind(Command command, QObject* control) {
    entries_[command].controls.emplace_back(control);
    if (auto* action = qobject_cast<QAction*>(control)) {
        QObject::connect(action, &QAction::triggered, action, [this, command] { trigger(command); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QObject::connect(button, &QAbstractButton::clicked, button, [this, command] { trigger(command); });
    }
    apply(command);
}

void CommandSet::setHandler(Command command, std::function<void()> handler) {
    entries_[command].handler = std::move(handler);
    apply(command);
}

bool CommandSet::hasHandler(Command command) const {
    auto it = entries_.find(command);
    return it != entries_.end() && static_cast<bool>(it->second.handler);
}

void CommandSet::setAllowed(Command command, bool allowed) {
    Entry& entry = entries_[command];
    entry.allowed = allowed;
    if (!allowed) ++entry.offCount;
    apply(command);
}

unsigned CommandSet::offCount(Command command) const {
    auto it = entries_.find(command);
    return it == entries_.end() ? 0 : it->second.offCount;
}

bool CommandSet::allowed(Command command) const {
    auto it = entries_.find(command);
    return it != entries_.end() && it->second.allowed;
}

void CommandSet::trigger(Command command) const {
    // A shortcut may still reach a disabled entry through another path; the rules decide.
    if (suspended_ || !enabled(command)) return;
    entries_.at(command).handler();
}

bool CommandSet::invoke(Command command) const {
    if (suspended_ || !hasHandler(command)) return false;
    entries_.at(command).handler();
    return true;
}

const std::vector<QPointer<QObject>>& CommandSet::controls(Command command) const {
    static const std::vector<QPointer<QObject>> none;
    auto it = entries_.find(command);
    return it == entries_.end() ? none : it->second.controls;
}

void CommandSet::apply(Command command) {
    const bool on = enabled(command);
    for (const QPointer<QObject>& control : entries_[command].controls) {
        if (!control) continue;
        if (auto* action = qobject_cast<QAction*>(control.data())) action->setEnabled(on);
        else if (auto* widget = qobject_cast<QWidget*>(control.data())) widget->setEnabled(on);
    }
}

}  // namespace vsr::ui
