#pragma once

#include <QString>

namespace vsr::ui {

// Gives a widget the object name its tests and the accessibility tree find it by, and returns it.
template <class T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace vsr::ui
