// The window's end: its parts reach it through hosts that are torn down before Qt deletes the
// controls, so every part must be gone before the first control goes; and the desktop's
// pickers, asked with no display to show them on, cancel instead of waiting for ever.
#include <QFileDialog>
#include <QMenuBar>
#include <QStatusBar>
#include <QPointer>

#include "ui/prompt/qt_prompter.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

TEST_F(WindowTest, EveryPartIsGoneBeforeAControlIsTornDown) {
    // A listed row on the Search and Replace tab: the parts have signals to follow.
    files.write("a.txt", "hello\n");
    auto w = makeWindow();
    control<QTabWidget>(w, "PageControl1")->setCurrentIndex(1);
    control<QComboBox>(w, "SearchEdit")->setEditText(QStringLiteral("hello"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 1);

    std::vector<QPointer<QObject>> parts;
    for (QObject* child : w->children())
        if (isWindowPart(*child)) parts.emplace_back(child);
    // The browser, the preview, the list's, modify, file, report and project commands, the
    // recent projects and the drop target at least.
    ASSERT_GE(parts.size(), 9u);
    // The window's own controls, menus and status panels (the parts' dialogs go with their parts).
    std::vector<QWidget*> controls;
    for (QWidget* area : {w->centralWidget(), static_cast<QWidget*>(w->menuBar()), static_cast<QWidget*>(w->statusBar())})
        for (QWidget* control : area->findChildren<QWidget*>()) controls.push_back(control);
    ASSERT_GT(controls.size(), 100u);
    int partsAliveAtTeardown = 0;
    for (QWidget* control : controls)
        QObject::connect(control, &QObject::destroyed, [&parts, &partsAliveAtTeardown] {
            for (const QPointer<QObject>& part : parts)
                if (part) ++partsAliveAtTeardown;
        });
    w.reset();
    EXPECT_EQ(partsAliveAtTeardown, 0);
}

TEST(QtPrompterWithoutDisplay, EveryPickerCancels) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    QWidget parent;
    QtPrompter prompter(&parent);
    const std::vector<std::pair<const char*, std::function<std::string()>>> pickers = {
        {"selectFolder", [&] { return prompter.selectFolder("Select Folder", "/"); }},
        {"openProgram", [&] { return prompter.openProgram("/"); }},
        {"saveListFile", [&] { return prompter.saveListFile("/"); }},
        {"saveLinesFile", [&] { return prompter.saveLinesFile("/"); }},
        {"openFile", [&] { return prompter.openFile("Open Project", "Projects [*.vsr]|*.vsr", "vsr", "/"); }},
        {"saveFile", [&] { return prompter.saveFile("Save Project", "Projects [*.vsr]|*.vsr", "vsr", "/"); }},
    };
    // A dialog left open is one no one can answer: the watchdog counts and closes it.
    int strays = 0;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    watchdog.setInterval(800);
    QObject::connect(&watchdog, &QTimer::timeout, [&strays] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++strays;
            modal->close();
        }
    });
    for (const auto& [name, pick] : pickers) {
        strays = 0;
        watchdog.start();
        EXPECT_EQ(pick(), "") << name;
        watchdog.stop();
        EXPECT_EQ(strays, 0) << name << " showed a dialog no one could answer";
    }
}

}  // namespace
}  // namespace vsr::ui::test
