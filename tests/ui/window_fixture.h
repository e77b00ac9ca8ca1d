#pragma once
// The types of the window's controls, which the tests reach by their names.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/memory_settings_store.h"
#include "settings/settings_storage.h"
#include "support/temp_dir.h"
#include "ui/window/find_window.h"
#include "ui/lines/lines_browser.h"
#include "ui/window/window_environment.h"
#include "window_controls.h"

namespace vsr::ui::test {

// Answers every question of the window without a screen and records what was asked.
class RecordingPrompter : public WindowPrompter {
public:
    struct Message {
        std::string caption, text;
        engine::MessageIcon icon;
    };
    void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) override {
        messages.push_back({caption, text, icon});
    }
    std::string selectFolder(const std::string& title, const std::string& start) override {
        folderTitles.push_back(title);
        folderStarts.push_back(start);
        return folderAnswer;
    }
    void showAbout(QWidget*) override { ++abouts; }

    std::vector<Message> messages;
    std::vector<std::string> folderTitles, folderStarts;
    std::string folderAnswer;
    int abouts = 0;
};

// Returns once the window has nothing left to do after a selection: its idle step has run, no
// browse is due and no Lines Viewer fill runs; the idle step may select and so browse again,
// so the window is asked twice, with a pass of the event loop between.
inline void settleBrowsing(TFind& w) {
    LinesBrowser* browser = w.findChild<LinesBrowser*>();
    ASSERT_NE(browser, nullptr);
    auto quiet = [&] { return !w.idlePending() && !browser->browsePending() && !browser->filling(); };
    ASSERT_TRUE(QTest::qWaitFor(quiet));
    QCoreApplication::processEvents();
    ASSERT_TRUE(QTest::qWaitFor(quiet));
}

// A window at 96 dots per inch (unless asked otherwise) with recorded questions and, when
// `withStore`, settings kept in memory and a data folder of its own.
class WindowTest : public ::testing::Test {
protected:
    std::unique_ptr<TFind> makeWindow(int dpi = 96, bool withStore = false) {
        WindowServices s;
        s.prompter = &prompter;
        s.dotsPerInch = dpi;
        s.helpFolder = QString::fromStdString(helpDir.str());
        s.helpOpener = [this](const QUrl& url) {
            opened.push_back(url);
            return true;
        };
        if (clock) s.clock = clock.get();
        s.fileStore = fileStore;
        if (withStore) {
            if (!storage)
                storage = std::make_unique<settings::SettingsStorage>(store, dataDir.str(),
                                                                      windowEnvironment("", "", nullptr, clock.get()));
            s.settings = storage.get();
        }
        auto w = std::make_unique<TFind>(s);
        w->show();
        QApplication::setActiveWindow(w.get());
        return w;
    }

    // Fills the path field and runs the active tab's search to its end.
    static void search(TFind& w, const std::string& path) {
        control<QComboBox>(w, "ComboBoxPath")->setEditText(QString::fromStdString(path));
        w.FindButtonClick();
    }

    static int rows(TFind& w) { return static_cast<int>(w.results().count()); }

    RecordingPrompter prompter;
    vsr::test::TempDir helpDir;
    vsr::test::TempDir dataDir;
    vsr::test::TempDir files;
    platform::MemorySettingsStore store;
    std::unique_ptr<settings::SettingsStorage> storage;
    std::unique_ptr<platform::FakeClock> clock;
    durable::FileStore* fileStore = nullptr;  // what modification rewrites; null: the real files
    std::vector<QUrl> opened;
};

}  // namespace vsr::ui::test
