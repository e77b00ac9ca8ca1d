// The settings dialogs seen from the window: what they take from it at the start, what OK and
// Cancel leave in its records, and the one change the window must hear of, a new text encoding.
// The window is stood in for by its records alone.
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/common/command_set.h"
#include "ui/prompt/window_prompter.h"
#include "ui/common/help_topics.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"

namespace vsr::ui {
namespace {

using platform::CodePageId;

// Runs each modal dialog through `act`, which plays the user's part and leaves it.
class ActingPrompter : public WindowPrompter {
public:
    void messageBox(const std::string&, const std::string&, engine::MessageIcon) override {}
    std::string openProgram(const std::string&) override { return {}; }
    std::string selectFolder(const std::string&, const std::string&) override { return {}; }
    std::string saveListFile(const std::string&) override { return {}; }
    int runModal(QDialog& dialog) override {
        dialog.show();
        if (act) act(dialog);
        if (dialog.isVisible()) dialog.reject();
        return dialog.result();
    }
    std::function<void(QDialog&)> act;
};

class SettingsDialogsWindow : public ::testing::Test {
protected:
    SettingsDialogsWindow() {
        values.textEncoding = CodePageId::Windows1252;
        values.editorA = "\"/usr/bin/editor\" \"%PrFullName%\"";
        options.initialDirOpenEditor = "/opt/editors";
        options.initialDirwIgnPath = "/srv/ignored";
    }
    SettingsDialogSet::Window window() {
        return {&parent, commands, help, values, options,
                [this](CodePageId before, CodePageId after) { changes.emplace_back(before, after); }};
    }
    static void pickEncoding(QDialog& d, const char* caption) {
        auto* box = d.findChild<QComboBox*>("TextEncodingComboBox");
        ASSERT_NE(box, nullptr);
        box->setCurrentIndex(box->findText(QString::fromUtf8(caption)));
    }
    static void ok(QDialog& d) { QTest::mouseClick(d.findChild<QPushButton*>("OKBtn"), Qt::LeftButton); }

    QWidget parent;
    CommandSet commands;
    HelpTopics help;
    settings::DialogSettings values;
    settings::MainOptions options;
    std::vector<std::pair<CodePageId, CodePageId>> changes;
    ActingPrompter prompter;
};

TEST_F(SettingsDialogsWindow, StartFromTheWindowsRecordsAndRegisterTheirCommand) {
    SettingsDialogSet dialogs(window(), prompter);
    EXPECT_EQ(dialogs.settings().values().editorA, values.editorA);
    EXPECT_EQ(dialogs.settings().initialDirOpenEditor, "/opt/editors");
    EXPECT_EQ(dialogs.settings().parentWidget(), &parent);

    // The window's Settings command opens the dialog.
    std::vector<QString> shown;
    prompter.act = [&](QDialog& d) { shown.push_back(d.objectName()); };
    ASSERT_TRUE(commands.enabled(Command::Settings));
    commands.trigger(Command::Settings);
    EXPECT_EQ(shown, std::vector<QString>{dialogs.settings().objectName()});
}

TEST_F(SettingsDialogsWindow, OkPutsTheValuesIntoTheWindowAndANewEncodingIsToldOnce) {
    SettingsDialogSet dialogs(window(), prompter);

    // Cancel: the window's records stay, and nothing is told.
    prompter.act = [](QDialog& d) { pickEncoding(d, "UTF-8"); };
    dialogs.ShowSettings();
    EXPECT_EQ(values.textEncoding, CodePageId::Windows1252);
    EXPECT_TRUE(changes.empty());

    // OK with another encoding: the records take it and the window hears before and after.
    prompter.act = [](QDialog& d) {
        pickEncoding(d, "UTF-8");
        ok(d);
    };
    dialogs.ShowSettings();
    EXPECT_EQ(values.textEncoding, CodePageId::Utf8);
    EXPECT_EQ(changes, (std::vector<std::pair<CodePageId, CodePageId>>{{CodePageId::Windows1252, CodePageId::Utf8}}));

    // OK without a change of encoding tells nothing more.
    prompter.act = [](QDialog& d) { ok(d); };
    dialogs.ShowSettings();
    EXPECT_EQ(changes.size(), 1u);

    // Values a project loads reach the window's records at once, without a dialog.
    settings::DialogSettings loaded = values;
    loaded.readOnly = !values.readOnly;
    dialogs.load(loaded);
    EXPECT_EQ(values.readOnly, loaded.readOnly);
    EXPECT_EQ(options.initialDirwIgnPath, "/srv/ignored");
}

}  // namespace
}  // namespace vsr::ui
