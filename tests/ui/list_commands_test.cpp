#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/launcher.h"
#include "platform/memory_settings_store.h"
#include "settings/settings_storage.h"
#include "support/temp_dir.h"
#include "ui/prompt/window_prompter.h"
#include "ui/dialogs/file_ignore_dialog.h"
#include "ui/window/find_window.h"
#include "ui/list/list_commands.h"
#include "ui/dialogs/mask_form.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"
#include "window_controls.h"

namespace vsr::ui {
namespace {

using vsr::ui::test::control;
using vsr::ui::test::statusPanel;

class ListCommandAnswers : public WindowPrompter {
public:
    void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon) override {
        messages.push_back(caption + ": " + text);
    }
    std::string selectFolder(const std::string&, const std::string&) override { return {}; }
    void showAbout(QWidget*) override {}
    std::string openProgram(const std::string&) override { return {}; }
    std::string saveListFile(const std::string& start) override {
        saveStarts.push_back(start);
        return saveAnswer;
    }
    int runModal(QDialog& dialog) override { return modal ? modal(dialog) : QDialog::Rejected; }

    std::vector<std::string> messages, saveStarts;
    std::string saveAnswer;
    std::function<int(QDialog&)> modal;
};

class ListCommandsTest : public ::testing::Test {
protected:
    
    std::unique_ptr<TFind> makeWindow() {
        WindowServices s;
        s.prompter = &answers;
        s.dialogPrompter = &answers;
        s.launcher = &launcher;
        s.dotsPerInch = 96;
        s.helpOpener = [](const QUrl&) { return true; };
        if (!storage)
            storage = std::make_unique<settings::SettingsStorage>(store, dataDir.str(), settings::SettingsEnvironment{});
        s.settings = storage.get();
        auto w = std::make_unique<TFind>(s);
        w->show();
        return w;
    }

    // A Find-tab search for "x" in the test folder.
    void search(TFind& w, const char* masks = "*.*") {
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "FindTab"));
        control<QRadioButton>(w, "PhraseButton")->click();
        control<QComboBox>(w, "ComboBoxPath")->setEditText(QString::fromStdString(tree.str()));
        control<QComboBox>(w, "MasksComboBox")->setEditText(QString::fromLatin1(masks));
        control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("x"));
        w.FindButtonClick();
    }

    static std::vector<std::string> names(TFind& w) {
        std::vector<std::string> out;
        for (const auto& r : w.results().rows()) out.push_back(r.name);
        return out;
    }
    static std::vector<std::string> selectedNames(TFind& w) {
        std::vector<std::string> out;
        for (int row : [&] {
                 std::vector<int> rows;
                 for (const QModelIndex& i : control<QTreeView>(w, "ListView1")->selectionModel()->selectedRows())
                     rows.push_back(i.row());
                 std::sort(rows.begin(), rows.end());
                 return rows;
             }())
            out.push_back(w.results().row(static_cast<std::size_t>(row)).name);
        return out;
    }
    // The Mask dialog answered with `mask` and OK.
    void answerMask(const std::string& mask) {
        answers.modal = [mask](QDialog& d) {
            auto& form = dynamic_cast<TMaskForm&>(d);
            form.Edit1->setText(QString::fromStdString(mask));
            return int(QDialog::Accepted);
        };
    }

    ListCommandAnswers answers;
    platform::FakeLauncher launcher;
    platform::MemorySettingsStore store;
    vsr::test::TempDir dataDir;
    vsr::test::TempDir tree;
    std::unique_ptr<settings::SettingsStorage> storage;
};

TEST_F(ListCommandsTest, DeleteItemsSelectsTheFollowingRowAndHidesTheListWhenEmpty) {
    for (const char* n : {"r1.txt", "r2.txt", "r3.txt", "r4.txt", "r5.txt"}) tree.write(n, "x\n");
    auto w = makeWindow();
    search(*w);
    ASSERT_EQ(w->results().count(), 5u);
    w->listCommands().SortByColumn(0);
    ASSERT_EQ(names(*w), (std::vector<std::string>{"r1.txt", "r2.txt", "r3.txt", "r4.txt", "r5.txt"}));

    control<QTreeView>(w, "ListView1")->selectionModel()->clearSelection();
    w->listCommands().DeleteSelectedItems();
    EXPECT_EQ(answers.messages, (std::vector<std::string>{"List: Delete Items: Please select some items"}));

    control<QTreeView>(w, "ListView1")
        ->selectionModel()
        ->select(control<QTreeView>(w, "ListView1")->model()->index(1, 0),
                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    control<QTreeView>(w, "ListView1")
        ->selectionModel()
        ->select(control<QTreeView>(w, "ListView1")->model()->index(2, 0),
                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w->listCommands().DeleteSelectedItems();
    EXPECT_EQ(names(*w), (std::vector<std::string>{"r1.txt", "r4.txt", "r5.txt"}));
    EXPECT_EQ(selectedNames(*w), (std::vector<std::string>{"r4.txt"}));
    EXPECT_EQ(statusPanel(w, 0)->text(), "Files in List:   3");

    control<QTreeView>(w, "ListView1")->selectionModel()->clearSelection();
    answerMask("r[14].txt");
    w->listCommands().SelectByMask();
    EXPECT_EQ(selectedNames(*w), (std::vector<std::string>{"r1.txt", "r4.txt"}));
    w->listCommands().DeleteSelectedItems();
    EXPECT_EQ(statusPanel(w, 0)->text(), "File in List:   1");
    EXPECT_TRUE(w->listVisible());

    w->listCommands().SelectAllRows();
    w->listCommands().DeleteSelectedItems();
    EXPECT_TRUE(w->results().empty());
    EXPECT_FALSE(w->listVisible());
    EXPECT_EQ(statusPanel(w, 0)->text(), "");
}

TEST_F(ListCommandsTest, SelectAndDeselectByMask) {
    for (const char* n : {"a", "ab", "abc", "ab.txt", "Readme"}) tree.write(n, "x\n");
    auto w = makeWindow();
    search(*w);
    w->listCommands().SortByColumn(0);
    ASSERT_EQ(w->results().count(), 5u);
    struct Case {
        const char* mask;
        bool select;
        std::vector<std::string> selected;  // after the command, from nothing selected
    } cases[] = {
        {"*", true, {"a", "ab", "abc", "Readme"}},  // only names without extension
        {"a?", true, {"ab"}},
        {"*.*", true, {"a", "ab", "ab.txt", "abc", "Readme"}},
        {"AB*", true, {"ab", "abc"}},  // "." is appended to a mask without one, too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        control<QTreeView>(w, "ListView1")->selectionModel()->clearSelection();
        answerMask(c.mask);
        w->listCommands().SelectByMask();
        EXPECT_EQ(selectedNames(*w), c.selected);
    }
    // Deselect leaves the rows that do not fit as they were.
    answerMask("*.txt");
    w->listCommands().DeselectByMask();
    EXPECT_EQ(selectedNames(*w), (std::vector<std::string>{"ab", "abc"}));
    // Cancel changes nothing; an unclosed set is refused.
    answers.modal = {};
    w->listCommands().SelectByMask();
    EXPECT_EQ(selectedNames(*w), (std::vector<std::string>{"ab", "abc"}));
    answerMask("[ab");
    w->listCommands().SelectByMask();
    EXPECT_EQ(answers.messages, (std::vector<std::string>{"Error: Invalid mask"}));
    EXPECT_EQ(selectedNames(*w), (std::vector<std::string>{"ab", "abc"}));
    EXPECT_EQ(w->listCommands().maskForm().mask(), "[ab");
}

TEST_F(ListCommandsTest, HeaderClicksSortAndSelectionFollowsTheRows) {
    tree.write("b.txt", std::string(1500, 'x'));
    tree.write("a.txt", "x");
    tree.write("c.txt", std::string(120, 'x'));
    auto w = makeWindow();
    search(*w);
    QHeaderView* header = control<QTreeView>(w, "ListView1")->header();
    const int size = w->results().columnPosition(results::Column::Size);
    emit header->sectionClicked(size);
    EXPECT_EQ(names(*w), (std::vector<std::string>{"a.txt", "c.txt", "b.txt"}));
    control<QTreeView>(w, "ListView1")
        ->selectionModel()
        ->select(control<QTreeView>(w, "ListView1")->model()->index(2, 0),
                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit header->sectionClicked(size);
    EXPECT_EQ(names(*w), (std::vector<std::string>{"b.txt", "c.txt", "a.txt"}));
    EXPECT_EQ(selectedNames(*w), (std::vector<std::string>{"b.txt"}));
}

TEST_F(ListCommandsTest, DoubleClickOpensTheFileOrSaysItIsGone) {
    tree.write("keep.txt", "x\n");
    tree.write("gone.txt", "x\n");
    auto w = makeWindow();
    search(*w);
    w->listCommands().SortByColumn(0);
    std::filesystem::remove(tree.path() / "gone.txt");
    w->listCommands().openRow(0);
    w->listCommands().openRow(1);
    EXPECT_EQ(answers.messages, (std::vector<std::string>{"Information: File " + tree.str() + "/gone.txt not found"}));
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{tree.str() + "/keep.txt"}));
}

TEST_F(ListCommandsTest, SaveListWritesTheTableAndRemembersTheFolder) {
    tree.write("one.txt", "x x\n");
    auto w = makeWindow();
    search(*w);
    vsr::test::TempDir out;
    auto file = out.write("list.lst", "old");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);

    answers.saveAnswer = "";
    w->commands().trigger(Command::SaveList);
    answers.saveAnswer = file.string();
    w->commands().trigger(Command::SaveList);
    ASSERT_EQ(answers.saveStarts.size(), 2u);
    EXPECT_EQ(vsr::test::readFile(file).rfind("Name     Path", 0), 0u) << vsr::test::readFile(file);
    EXPECT_NE(vsr::test::readFile(file).find("one.txt  " + tree.str() + "      2  "), std::string::npos);
    w->commands().trigger(Command::SaveList);
    EXPECT_EQ(answers.saveStarts.back(), out.str());
    EXPECT_TRUE(answers.messages.empty());
}

TEST_F(ListCommandsTest, CtrlASelectsEveryRowOnceTheListHasRows) {
    tree.write("one.txt", "x\n");
    tree.write("two.txt", "x\n");
    auto w = makeWindow();
    EXPECT_FALSE(w->commands().enabled(Command::SelectAll));
    search(*w);
    ASSERT_TRUE(w->commands().enabled(Command::SelectAll));
    control<QTreeView>(w, "ListView1")->selectionModel()->clearSelection();
    w->commands().trigger(Command::SelectAll);
    EXPECT_EQ(selectedNames(*w).size(), 2u);
}

TEST_F(ListCommandsTest, PopupShowsModifyEntriesOnlyOnTheSearchAndReplaceTab) {
    tree.write("one.txt", "x\n");
    auto w = makeWindow();
    search(*w);
    w->listCommands().UpdateListCommands(true);
    auto* modifySelected = control<QMenu>(w, "ListPopupMenu")->findChild<QAction*>("ModifySelected1");
    ASSERT_NE(modifySelected, nullptr);
    EXPECT_FALSE(modifySelected->isVisible());
    EXPECT_TRUE(w->commands().allowed(Command::SelectAll));
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    w->listCommands().UpdateListCommands(true);
    EXPECT_TRUE(modifySelected->isVisible());
    // Deselect needs a selected row.
    control<QTreeView>(w, "ListView1")->selectionModel()->clearSelection();
    w->listCommands().UpdateListCommands(true);
    EXPECT_FALSE(w->commands().allowed(Command::Deselect));
    EXPECT_FALSE(w->commands().allowed(Command::DeleteItems));
}

TEST_F(ListCommandsTest, SettingsSurviveARestartAndSteerTheSearch) {
    tree.write("keep.c", "x\n");
    tree.write("skip.txt", "x\n");
    {
        auto w = makeWindow();
        TFind* win = w.get();
        answers.modal = [win](QDialog& d) {
            auto& dlg = dynamic_cast<TSettDlg&>(d);
            dlg.MacXPRadioButton->click();
            dlg.IgnoreFilesXPCheck->click();
            win->settingsDialogs().fileIgnore().FilesMemo->setPlainText("*.txt");
            return int(QDialog::Accepted);
        };
        w->commands().trigger(Command::Settings);
        search(*w);
        EXPECT_EQ(names(*w), (std::vector<std::string>{"keep.c"}));
    }
    auto w = makeWindow();
    TSettDlg& dlg = w->settingsDialogs().settings();
    EXPECT_TRUE(dlg.MacXPRadioButton->isChecked());
    EXPECT_EQ(w->settingsDialogs().modifyOptions().separator, engine::LineSeparator::Macintosh);
    EXPECT_FALSE(w->settingsDialogs().modifyOptions().replaceReadOnly);
    EXPECT_TRUE(dlg.IgnoreFilesXPCheck->isChecked());
    EXPECT_EQ(w->settingsDialogs().fileIgnore().listText(), "*.txt");
    search(*w);
    EXPECT_EQ(names(*w), (std::vector<std::string>{"keep.c"}));

    // A cancelled dialog changes nothing for the next search.
    answers.modal = [](QDialog& d) {
        auto& s = dynamic_cast<TSettDlg&>(d);
        s.show();
        s.IgnoreFilesXPCheck->click();
        s.reject();
        return int(QDialog::Rejected);
    };
    w->commands().trigger(Command::Settings);
    search(*w);
    EXPECT_EQ(names(*w), (std::vector<std::string>{"keep.c"}));
}

}  // namespace
}  // namespace vsr::ui
