#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/launcher.h"
#include "platform/memory_settings_store.h"
#include "settings/settings_storage.h"
#include "support/temp_dir.h"
#include "ui/prompt/window_prompter.h"
#include "ui/window/find_window.h"
#include "ui/lines/lines_viewer.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"
#include "window_controls.h"

namespace vsr::ui {
namespace {

using vsr::ui::test::control;
using vsr::ui::test::statusPanel;

const std::string B = "<font color=\"#0000FF\">";
const std::string E = "</font>";

class ReportAnswers : public WindowPrompter {
public:
    void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon) override {
        messages.push_back(caption + ": " + text);
    }
    std::string selectFolder(const std::string&, const std::string&) override { return {}; }
    void showAbout(QWidget*) override {}
    std::string openProgram(const std::string&) override { return {}; }
    std::string saveListFile(const std::string&) override { return {}; }
    std::string saveLinesFile(const std::string& start) override {
        linesStarts.push_back(start);
        return linesAnswer;
    }

    std::vector<std::string> messages, linesStarts;
    std::string linesAnswer;
};

class ReportCommandsTest : public ::testing::Test {
protected:
    
    std::unique_ptr<TFind> makeWindow() {
        WindowServices s;
        s.prompter = &answers;
        s.dialogPrompter = &answers;
        s.launcher = &launcher;
        s.dotsPerInch = 96;
        s.helpOpener = [](const QUrl&) { return true; };
        storage = std::make_unique<settings::SettingsStorage>(store, dataDir.str(), settings::SettingsEnvironment{});
        s.settings = storage.get();
        auto w = std::make_unique<TFind>(s);
        w->show();
        return w;
    }

    // A Find-tab phrase search for `query`, left with the first row's lines shown.
    void search(TFind& w, const char* query) {
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "FindTab"));
        control<QRadioButton>(w, "PhraseButton")->click();
        control<QComboBox>(w, "ComboBoxPath")->setEditText(QString::fromStdString(tree.str()));
        control<QComboBox>(w, "FindEditComboBox")->setEditText(QString::fromLatin1(query));
        w.FindButtonClick();
    }
    static bool showsLines(TFind& w) { return control<LinesViewer>(w, "ListBox1")->hasLines(); }

    ReportAnswers answers;
    platform::FakeLauncher launcher;
    platform::MemorySettingsStore store;
    vsr::test::TempDir dataDir;
    vsr::test::TempDir tree;
    std::unique_ptr<settings::SettingsStorage> storage;
};

TEST_F(ReportCommandsTest, CreateReportSearchesAgainWritesEveryRowAndOpensTheReport) {
    tree.write("a.txt", "one x\ntwo\n");
    tree.write("b.txt", "x <x>\n");
    const auto old = dataDir.write("Report.htm", "old");
    std::filesystem::permissions(old, std::filesystem::perms::owner_read);
    auto w = makeWindow();
    search(*w, "x");
    QTRY_VERIFY(showsLines(*w));
    // Files found since the list was made are in the report: it searches again.
    tree.write("c.txt", "x\n");
    ASSERT_TRUE(w->commands().enabled(Command::CreateReport));
    w->commands().trigger(Command::CreateReport);

    const std::string path = dataDir.str() + "/Report.htm";
    EXPECT_EQ(launcher.opened, std::vector<std::string>{path});
    const std::string text = vsr::test::readFile(path);
    EXPECT_NE(text.find("<strong>Files in List: </strong>" + B + "3" + E + "\r\n<strong>Found Occurrences: </strong>" +
                        B + "4" + E + "\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(" line 1: " + B + "x" + E + " &lt;" + B + "x" + E + "&gt;\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 18), "</body>\r\n</html>\r\n");
    EXPECT_TRUE(answers.messages.empty());
    // The window is idle again, with nothing selected and the Lines Viewer empty.
    EXPECT_FALSE(w->state().busy);
    EXPECT_TRUE(control<QPushButton>(w, "FindBit")->isEnabled());
    EXPECT_EQ(w->results().selectedCount(), 0u);
    EXPECT_FALSE(control<LinesViewer>(w, "ListBox1")->hasLines());
    EXPECT_EQ(statusPanel(w, 0)->text(), QStringLiteral("Found Files:   3"));
    EXPECT_TRUE(control<QCheckBox>(w, "ListXPCheckBox")->isEnabled());
}

TEST_F(ReportCommandsTest, ReportThatCannotBeWrittenSaysSoAndIsNotOpened) {
    tree.write("a.txt", "x\n");
    dataDir.mkdir("Report.htm");
    auto w = makeWindow();
    search(*w, "x");
    w->commands().trigger(Command::CreateReport);
    EXPECT_EQ(answers.messages,
              std::vector<std::string>{"Create Report: Cannot open file " + dataDir.str() + "/Report.htm"});
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_FALSE(w->state().busy);
    EXPECT_TRUE(control<QPushButton>(w, "FindBit")->isEnabled());
}

TEST_F(ReportCommandsTest, CreateReportIsOffOnTheOptionsTab) {
    auto w = makeWindow();
    EXPECT_TRUE(w->commands().enabled(Command::CreateReport));
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "OptionsTab"));
    EXPECT_FALSE(w->commands().enabled(Command::CreateReport));
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    EXPECT_TRUE(w->commands().enabled(Command::CreateReport));
}

TEST_F(ReportCommandsTest, BrowseContextUsesTheSettingsContextAndFollowsEdits) {
    std::string lines;
    for (int k = 1; k <= 12; ++k) lines += "l" + std::to_string(k) + (k == 6 ? " x" : "") + "\n";
    const auto file = tree.write("a.txt", lines);
    auto w = makeWindow();
    EXPECT_FALSE(w->commands().enabled(Command::BrowseContext));
    search(*w, "x");
    QTRY_VERIFY(showsLines(*w));
    ASSERT_TRUE(w->commands().enabled(Command::BrowseContext));
    w->settingsDialogs().settings().BrowseComboBox->setCurrentIndex(0);  // "1"
    w->commands().trigger(Command::BrowseContext);
    const std::string path = dataDir.str() + "/Browse.htm";
    EXPECT_EQ(launcher.opened, std::vector<std::string>{path});
    const std::string header = "<strong>     File:  a.txt      Path:  " + tree.str() + "</strong>\r\n";
    EXPECT_EQ(vsr::test::readFile(path), "<html>\r\n<meta charset=\"utf-8\">\r\n<Title>Context</Title>\r\n<body>\r\n<pre>\r\n" + header +
                                             "\r\n line 5: l5\r\n" + B + "*" + E + "line 6: l6 " + B + "x" + E +
                                             "\r\n line 7: l7\r\n</pre>\r\n</body>\r\n</html>\r\n");

    // The file changes after it was shown: the stars follow the lines that match now.
    tree.write("a.txt", "x first\n" + lines);
    w->commands().trigger(Command::BrowseContext);
    const std::string page = vsr::test::readFile(path);
    EXPECT_NE(page.find(header + B + "*" + E + "line 1: " + B + "x" + E + " first\r\n line 2: l1\r\n\r\n line 6: l5\r\n" +
                        B + "*" + E + "line 7: l6 " + B + "x" + E + "\r\n line 8: l7\r\n"),
              std::string::npos)
        << page;

    std::filesystem::remove(file);
    w->commands().trigger(Command::BrowseContext);
    EXPECT_EQ(answers.messages, std::vector<std::string>{"Information: File " + file.string() + " not found"});
    EXPECT_EQ(launcher.opened.size(), 2u);
}

TEST_F(ReportCommandsTest, SaveLinesWritesTheViewerToTheChosenFileAndRemembersItsFolder) {
    tree.write("a.txt", "if a<b x\n");
    auto w = makeWindow();
    search(*w, "x");
    QTRY_VERIFY(showsLines(*w));
    ASSERT_TRUE(w->commands().enabled(Command::SaveLines));
    vsr::test::TempDir out;
    answers.linesAnswer = "";
    w->commands().trigger(Command::SaveLines);
    answers.linesAnswer = out.str() + "/lines.html";
    w->commands().trigger(Command::SaveLines);
    EXPECT_EQ(vsr::test::readFile(out.str() + "/lines.html"),
              "<html>\r\n<meta charset=\"utf-8\">\r\n<Title>Information from the Lines Viewer</Title>\r\n<body>\r\n<pre>\r\n"
              "<strong>     File:  a.txt      Path:  " + tree.str() + "</strong>\r\n"
              " line 1: if a&lt;b " + B + "x" + E + "\r\n</pre>\r\n</body>\r\n</html>\r\n");
    w->commands().trigger(Command::SaveLines);
    ASSERT_EQ(answers.linesStarts.size(), 3u);
    EXPECT_EQ(answers.linesStarts.back(), out.str());
    EXPECT_TRUE(launcher.opened.empty());

    answers.linesAnswer = out.str() + "/missing/lines.html";
    w->commands().trigger(Command::SaveLines);
    EXPECT_EQ(answers.messages,
              std::vector<std::string>{"Save Lines: The lines could not be written to " + answers.linesAnswer});
}

}  // namespace
}  // namespace vsr::ui

namespace vsr::ui {
namespace {

TEST_F(ReportCommandsTest, ExpressionErrorOfTheReportSearchSelectsItsCharacterAndOpensNothing) {
    tree.write("a.txt", "x\n");
    auto w = makeWindow();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "FindTab"));
    control<QRadioButton>(w, "RegExpFind")->click();
    control<QComboBox>(w, "ComboBoxPath")->setEditText(QString::fromStdString(tree.str()));
    control<QPlainTextEdit>(w, "FindMemo")->setPlainText(QStringLiteral("ab(c"));
    w->commands().trigger(Command::CreateReport);
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0].rfind("Regular Expression: Error: ", 0), 0u) << answers.messages[0];
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_FALSE(w->state().busy);
    EXPECT_TRUE(control<QPlainTextEdit>(w, "FindMemo")->isEnabled());
    EXPECT_TRUE(control<QPlainTextEdit>(w, "FindMemo")->textCursor().hasSelection());
}

}  // namespace
}  // namespace vsr::ui
