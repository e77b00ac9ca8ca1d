#pragma once
// Tests reach the window's controls by their object names, as a user's script or an
// accessibility tool would, never through the window's members.
#include <QLabel>
#include <QList>
#include <QObject>
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace vsr::ui::test {

// The one object of type T named `name` among the descendants of `root`. A name that is
// missing, taken by an object of another type only, or borne by two objects of type T fails
// the test there and then: the exception ends the test body.
template <class T>
T* findControl(const QObject& root, const QString& name) {
    const QList<T*> found = root.findChildren<T*>(name);
    if (found.size() == 1) return found.front();
    std::string why;
    if (found.size() > 1) {
        why = std::to_string(found.size()) + " controls of the asked type are named";
    } else {
        const QList<QObject*> others = root.findChildren<QObject*>(name);
        why = others.isEmpty() ? std::string("no control is named")
                               : std::string("only a ") + others.front()->metaObject()->className() + " is named";
    }
    const std::string message = why + " \"" + name.toStdString() + "\" in " + root.objectName().toStdString();
    ADD_FAILURE() << message;
    throw std::logic_error(message);
}

// The window as a reference, a pointer or the owner the test holds it in.
inline const QObject& controlRoot(const QObject& window) { return window; }
inline const QObject& controlRoot(const QObject* window) { return *window; }
template <class Window>
const QObject& controlRoot(const std::unique_ptr<Window>& window) {
    return *window;
}

template <class T, class Window>
T* control(const Window& window, const QString& name) {
    return findControl<T>(controlRoot(window), name);
}

// The status bar's panels, counted from the left.
template <class Window>
QLabel* statusPanel(const Window& window, int index) {
    return control<QLabel>(window, QStringLiteral("StatusPanel%1").arg(index));
}

}  // namespace vsr::ui::test
