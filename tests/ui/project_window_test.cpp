// Save Project, Open Project and Batch Replace in the window, with the file dialogs and the
// batch dialog answered without a screen.
#include <filesystem>

#include "project/batch_file.h"
#include "support/temp_dir.h"
#include "ui/dialogs/batch_dialog.h"
#include "ui/prompt/qt_prompter.h"
#include "settings/key_paths.h"
#include "ui/commands/project_commands.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

namespace fs = std::filesystem;
using vsr::test::readFile;

class AnsweringFiles : public WindowPrompter {
public:
    void messageBox(const std::string&, const std::string&, engine::MessageIcon) override {}
    std::string openFile(const std::string& title, const std::string&, const std::string&,
                         const std::string& start) override {
        titles.push_back(title);
        starts.push_back(start);
        return answer;
    }
    std::string saveFile(const std::string& title, const std::string&, const std::string&,
                         const std::string& start) override {
        titles.push_back(title);
        starts.push_back(start);
        return answer;
    }
    std::string answer;
    std::vector<std::string> titles, starts;
};

// Closes every modal dialog with the chosen result at once; `onShow` may edit it first.
class AnsweringDialogs : public WindowPrompter {
public:
    void messageBox(const std::string&, const std::string&, engine::MessageIcon) override {}
    std::string openProgram(const std::string&) override { return {}; }
    std::string selectFolder(const std::string&, const std::string&) override { return {}; }
    std::string saveListFile(const std::string&) override { return {}; }
    int runModal(QDialog& dialog) override {
        dialog.show();
        if (onShow) onShow(dialog);
        dialog.done(result);
        return result;
    }
    int result = QDialog::Accepted;
    std::function<void(QDialog&)> onShow;
};

TEST(FileDialogFilters, ShowEachPatternOnce) {
    EXPECT_EQ(qtNameFilters("Project Files [*.vsr]|*.vsr"), QStringList{QStringLiteral("Project Files (*.vsr)")});
    EXPECT_EQ(qtNameFilters("TBL Files [*.tbl]|*.tbl|All Files [*.*]|*"),
              (QStringList{QStringLiteral("TBL Files (*.tbl)"), QStringLiteral("All Files (*)")}));
    // A description without its own patterns, or with brackets inside it, is kept.
    EXPECT_EQ(qtNameFilters("Lists|*.lst"), QStringList{QStringLiteral("Lists (*.lst)")});
    EXPECT_EQ(qtNameFilters("[draft] notes|*.txt"), QStringList{QStringLiteral("[draft] notes (*.txt)")});
    EXPECT_TRUE(qtNameFilters("dangling").isEmpty());
}

class ProjectWindowTest : public WindowTest {
protected:
    std::unique_ptr<TFind> makeProjectWindow(bool withStore = true) {
        WindowServices s;
        s.prompter = &prompter;
        s.dotsPerInch = 96;
        s.helpFolder = QString::fromStdString(helpDir.str());
        s.helpOpener = [this](const QUrl& url) {
            opened.push_back(url);
            return true;
        };
        s.filePrompter = &fileDialogs;
        s.dialogPrompter = &dialogs;
        s.formats = &dates;
        if (withStore) {
            if (!storage)
                storage = std::make_unique<settings::SettingsStorage>(store, dataDir.str(),
                                                                      windowEnvironment("", "", &dates));
            s.settings = storage.get();
        }
        auto w = std::make_unique<TFind>(s);
        w->show();
        return w;
    }
    static ProjectCommands& projects(TFind& w) { return *w.findChild<ProjectCommands*>(); }

    void saveProject(TFind& w, const std::string& path) {
        fileDialogs.answer = path;
        w.findChild<QAction*>(QStringLiteral("SaveProject1"))->trigger();
    }
    void openProject(TFind& w, const std::string& path) {
        fileDialogs.answer = path;
        w.findChild<QAction*>(QStringLiteral("OpenProject1"))->trigger();
    }

    AnsweringFiles fileDialogs;
    AnsweringDialogs dialogs;
    platform::FakeLocaleFormats dates;
    vsr::test::TempDir projectsDir;
};

TEST_F(ProjectWindowTest, AProjectSavedAndOpenedAgainBringsBackTheControlsAndTheBatchTable) {
    auto w = makeProjectWindow();
    control<QComboBox>(w, "ComboBoxPath")->setEditText(QStringLiteral("/srv/data"));
    control<QComboBox>(w, "MasksComboBox")->setEditText(QStringLiteral("*.cpp; *.h"));
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    control<QRadioButton>(w, "TextSearchButton")->click();
    control<QRadioButton>(w, "DeleteButton")->click();
    control<QPlainTextEdit>(w, "SearchMemo")->setPlainText(QStringLiteral("first\nsecond\n"));
    control<QCheckBox>(w, "SensitiveCheckBox")->setChecked(true);
    project::BatchTable table;
    table.rows = {{"a|b", "c"}, {"", "d"}};
    table.numberOfRows = 2;
    projects(*w).batchDialog().setTable(table);
    const std::string file = projectsDir.str() + "/task.vsr";
    saveProject(*w, file);
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(fileDialogs.titles.back(), "Save Project");
    const std::string saved = readFile(file);

    control<QComboBox>(w, "ComboBoxPath")->setEditText(QStringLiteral("/elsewhere"));
    control<QRadioButton>(w, "PhraseButtonReplace")->click();
    control<QRadioButton>(w, "ReplaceButton")->click();
    control<QPlainTextEdit>(w, "SearchMemo")->setPlainText(QStringLiteral("changed"));
    control<QCheckBox>(w, "SensitiveCheckBox")->setChecked(false);
    projects(*w).batchDialog().setTable(project::BatchTable{});
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "FindTab"));

    openProject(*w, file);
    EXPECT_EQ(fileDialogs.titles.back(), "Open Project");
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->currentText(), QStringLiteral("/srv/data"));
    EXPECT_EQ(control<QComboBox>(w, "MasksComboBox")->currentText(), QStringLiteral("*.cpp; *.h"));
    EXPECT_TRUE(control<QRadioButton>(w, "TextSearchButton")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(w, "DeleteButton")->isChecked());
    EXPECT_EQ(control<QPlainTextEdit>(w, "SearchMemo")->toPlainText(), QStringLiteral("first\nsecond\n"));
    EXPECT_TRUE(control<QCheckBox>(w, "SensitiveCheckBox")->isChecked());
    EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->currentWidget(), control<QWidget>(w, "SearchReplaceTab"));
    EXPECT_EQ(projects(*w).batchDialog().table().rows, table.rows);
    EXPECT_TRUE(projects(*w).projectSettingsLoaded());
    // The table went to "Batch.tmp" too, for the dialog's next opening.
    EXPECT_EQ(readFile(dataDir.path() / "Batch.tmp"), project::batchTempBytes(projects(*w).batchDialog().table()));
    // Both project dialogs start in the project's folder from now on.
    fileDialogs.answer.clear();
    w->findChild<QAction*>(QStringLiteral("SaveProject1"))->trigger();
    EXPECT_EQ(fileDialogs.starts.back(), projectsDir.str());

    // Saving again writes the same file: nothing was lost on the way through the controls.
    saveProject(*w, projectsDir.str() + "/again.vsr");
    EXPECT_EQ(readFile(projectsDir.path() / "again.vsr"), saved);
}

TEST_F(ProjectWindowTest, AReadOnlyProjectIsOverwritten) {
    auto w = makeProjectWindow();
    const std::string file = projectsDir.write("ro.vsr", "old").string();
    fs::permissions(file, fs::perms::owner_read);
    control<QComboBox>(w, "ComboBoxPath")->setEditText(QStringLiteral("/new/path"));
    saveProject(*w, file);
    EXPECT_EQ(readFile(file).substr(0, 9), "/new/path");
}

TEST_F(ProjectWindowTest, AnIncorrectProjectBringsBackTheStoredSettingsAndSaysSo) {
    auto w = makeProjectWindow();
    control<QComboBox>(w, "ComboBoxPath")->setEditText(QStringLiteral("/kept"));
    control<QPlainTextEdit>(w, "FindMemo")->setPlainText(QStringLiteral("query"));
    const std::string file = projectsDir.write("bad.vsr", "/p\r\nnot a count\r\n").string();
    openProject(*w, file);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Incorrect project file");
    EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->currentText(), QStringLiteral("/kept"));
    EXPECT_EQ(control<QPlainTextEdit>(w, "FindMemo")->toPlainText(), QStringLiteral("query"));
    EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->currentWidget(), control<QWidget>(w, "FindTab"));
    EXPECT_FALSE(projects(*w).projectSettingsLoaded());
}

TEST_F(ProjectWindowTest, AMissingProjectIsReportedByName) {
    auto w = makeProjectWindow();
    EXPECT_FALSE(projects(*w).loadProject(projectsDir.str() + "/none.vsr"));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "File \"" + projectsDir.str() + "/none.vsr\" not found");
    EXPECT_TRUE(w->runState().stop);
}

TEST_F(ProjectWindowTest, AProjectWithoutAModificationTypeLeavesNoneChosen) {
    auto w = makeProjectWindow();
    const std::string file = projectsDir.str() + "/p.vsr";
    saveProject(*w, file);
    std::string bytes = readFile(file);
    // Entries 16-25 of the starting values: Phrase, then Replace among the six types, then backups.
    const std::string types = "TRUE\r\nFALSE\r\nFALSE\r\nTRUE\r\nFALSE\r\nFALSE\r\nFALSE\r\nFALSE\r\nTRUE\r\nFALSE\r\n";
    const std::size_t at = bytes.find(types);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(bytes.find(types, at + 1), std::string::npos);
    bytes.replace(at + 20, 4, "FALSE");
    projectsDir.write("p.vsr", bytes);
    openProject(*w, file);
    EXPECT_TRUE(prompter.messages.empty());
    for (QRadioButton* b : {control<QRadioButton>(w, "NoneButton"), control<QRadioButton>(w, "ReplaceButton"),
                            control<QRadioButton>(w, "ReplaceSpacesButton"), control<QRadioButton>(w, "InsertButton"),
                            control<QRadioButton>(w, "InsertAfterButton"), control<QRadioButton>(w, "DeleteButton")})
        EXPECT_FALSE(b->isChecked()) << b->objectName().toStdString();
}

class BatchReplaceTest : public ProjectWindowTest {
protected:
    std::unique_ptr<TFind> readyToReplace() {
        auto w = makeProjectWindow();
        control<QCheckBox>(w, "CreatBackupCheckBox")->setChecked(false);
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
        control<QRadioButton>(w, "PhraseButtonReplace")->click();
        control<QRadioButton>(w, "ReplaceButton")->click();
        control<QComboBox>(w, "ComboBoxPath")->setEditText(QString::fromStdString(files.str()));
        control<QComboBox>(w, "MasksComboBox")->setEditText(QStringLiteral("*.txt"));
        return w;
    }
    static void batch(TFind& w, std::vector<project::BatchPair> rows) {
        project::BatchTable t;
        t.rows = std::move(rows);
        t.numberOfRows = static_cast<int>(t.rows.size());
        projects(w).batchDialog().setTable(t);
        w.findChild<QAction*>(QStringLiteral("BatchReplace1"))->trigger();
    }
};

TEST_F(BatchReplaceTest, EachPairSearchesAgainAndModifiesWhatThePreviousPairsLeft) {
    files.write("a.txt", "one two three");
    files.write("b.txt", "two");
    files.write("c.log", "one");
    auto w = readyToReplace();
    batch(*w, {{"one", "two"}, {"", "ignored"}, {"two", "2"}});
    EXPECT_EQ(readFile(files.path() / "a.txt"), "2 2 three");
    EXPECT_EQ(readFile(files.path() / "b.txt"), "2");
    EXPECT_EQ(readFile(files.path() / "c.log"), "one");
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_FALSE(w->runState().stop);
    EXPECT_FALSE(w->state().busy);
}

TEST_F(BatchReplaceTest, MultilineCellsAreBarSeparatedLines) {
    files.write("m.txt", "a|b\r\nx\r\ny\r\n");
    // A bar at the end is an empty last line: only the "end" an empty line follows is replaced.
    files.write("e.txt", "end\n\nend\nmore\n");
    auto w = readyToReplace();
    control<QRadioButton>(w, "TextSearchButton")->click();
    batch(*w, {{"x|y", "z"}, {"a||b", "pipe"}, {"end|", "E|"}});
    EXPECT_EQ(readFile(files.path() / "m.txt"), "pipe\nz\n");
    EXPECT_EQ(readFile(files.path() / "e.txt"), "E\n\nend\nmore\n");
}

TEST_F(BatchReplaceTest, ModificationTypeNoneRunsNothing) {
    files.write("a.txt", "one");
    auto w = readyToReplace();
    control<QRadioButton>(w, "NoneButton")->click();
    batch(*w, {{"one", "1"}});
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "The Modification Type is \"None\"");
    EXPECT_EQ(readFile(files.path() / "a.txt"), "one");
}

TEST_F(BatchReplaceTest, ExitRunsNothingButKeepsTheTableForTheNextStart) {
    files.write("a.txt", "one");
    {
        auto w = readyToReplace();
        dialogs.result = QDialog::Rejected;
        batch(*w, {{"one", "1"}, {"two", "2"}});
        EXPECT_EQ(readFile(files.path() / "a.txt"), "one");
    }
    auto again = makeProjectWindow();
    EXPECT_EQ(projects(*again).batchDialog().table().rows, (std::vector<project::BatchPair>{{"one", "1"}, {"two", "2"}}));
}

TEST_F(BatchReplaceTest, TheDialogEditsItsTableByItsRules) {
    auto w = makeProjectWindow();
    TBatchDlg& d = projects(*w).batchDialog();
    d.show();
    d.RowsSpinEdit->setValue(250000);
    EXPECT_EQ(d.RowsSpinEdit->value(), project::kMaxBatchRows);
    EXPECT_EQ(d.table().rows.size(), static_cast<std::size_t>(project::kMaxBatchRows));
    d.RemoveAllClick();
    EXPECT_EQ(d.RowsSpinEdit->value(), 1);

    // A pasted text with line breaks keeps its first line.
    QAbstractItemModel* model = d.StringGrid1->model();
    // The grid opens its editor on the current cell, as soon as there is one.
    d.StringGrid1->setCurrentIndex(model->index(0, 0));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* editor = d.StringGrid1->findChild<QLineEdit*>(QStringLiteral("CellEditor"));
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("first\r\nsecond"));
    EXPECT_EQ(editor->text(), QStringLiteral("first"));
    EXPECT_EQ(d.table().rows[0].search, "first");
    // With the whole text selected, Left moves the caret to one before the end.
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Left);
    EXPECT_FALSE(editor->hasSelectedText());
    EXPECT_EQ(editor->cursorPosition(), 4);

    // Opening a batch file of too many rows leaves the table and says so.
    fileDialogs.answer = projectsDir.write("big.tbl", "100001\r\n").string();
    d.OpenClick();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Incorrect file");
    EXPECT_EQ(d.table().rows[0].search, "first");

    // Save writes the seven-line form for two pairs.
    d.table().rows = {{"s1", "r1"}, {"s2", "r2"}};
    fileDialogs.answer = projectsDir.str() + "/two.tbl";
    d.SaveClick();
    EXPECT_EQ(readFile(projectsDir.path() / "two.tbl"), "2\r\n\r\ns1\r\nr1\r\n\r\ns2\r\nr2\r\n");
    d.reject();
}

TEST_F(BatchReplaceTest, TypingANumberOfRowsChangesOnlyTheCountAndOnlyOnceItIsFinal) {
    auto w = makeProjectWindow();
    TBatchDlg& d = projects(*w).batchDialog();
    project::BatchTable t;
    t.rows = {{"a|b", "1"}, {"c||d", "2"}, {"k", "3"}};
    t.numberOfRows = 3;
    d.setTable(t);
    d.show();
    QApplication::setActiveWindow(&d);
    d.RowsSpinEdit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.RowsSpinEdit->hasFocus(); }));
    d.RowsSpinEdit->selectAll();
    QTest::keyClicks(d.RowsSpinEdit, QStringLiteral("25"));
    // Half a number cuts nothing, and no cell editor takes the keys.
    EXPECT_EQ(d.table().rows.size(), 3u);
    EXPECT_TRUE(d.RowsSpinEdit->hasFocus());
    for (QLineEdit* editor : d.StringGrid1->findChildren<QLineEdit*>(QStringLiteral("CellEditor")))
        EXPECT_FALSE(editor->isVisible());
    QTest::keyClick(d.RowsSpinEdit, Qt::Key_Return);
    ASSERT_EQ(d.table().rows.size(), 25u);
    EXPECT_EQ(d.table().rows[0], (project::BatchPair{"a|b", "1"}));
    EXPECT_EQ(d.table().rows[2], (project::BatchPair{"k", "3"}));
    EXPECT_EQ(d.table().rows[24], project::BatchPair{});
    // The arrows step the count at once, still without opening an editor.
    QTest::keyClick(d.RowsSpinEdit, Qt::Key_Down);
    EXPECT_EQ(d.table().rows.size(), 24u);
    EXPECT_TRUE(d.RowsSpinEdit->hasFocus());
    d.reject();
    const std::string kept = readFile(fs::path(d.batchTempPath()));
    EXPECT_NE(kept.find("a|b"), std::string::npos);
}

TEST_F(BatchReplaceTest, TheFirstEscapeClosesTheDialog) {
    auto w = makeProjectWindow();
    TBatchDlg& d = projects(*w).batchDialog();
    d.show();
    QApplication::setActiveWindow(&d);
    // On entering, the current cell's editor opens by itself and has the focus.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        QWidget* f = QApplication::focusWidget();
        return f && f->objectName() == QStringLiteral("CellEditor");
    }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
}

// "слово" and "дело" in Windows-1251.
const std::string kWord1251 = "\xF1\xEB\xEE\xE2\xEE";
const std::string kDeed1251 = "\xE4\xE5\xEB\xEE";

TEST_F(BatchReplaceTest, CellsAreKeptInTheTextEncodingAndFollowAChangeOfIt) {
    files.write("a.txt", "an " + kWord1251 + " here");
    store.put(settings::kOptionsKey, "TextEncoding", "1251");
    store.commit();
    auto w = readyToReplace();
    TBatchDlg& d = projects(*w).batchDialog();
    d.show();
    d.StringGrid1->setCurrentIndex(d.StringGrid1->model()->index(0, 0));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* editor = d.StringGrid1->findChild<QLineEdit*>(QStringLiteral("CellEditor"));
    ASSERT_NE(editor, nullptr);
    editor->setText(QString::fromUtf8("слово"));
    EXPECT_EQ(d.table().rows[0].search, kWord1251);
    // A character 1251 lacks is not typed: the cell keeps what it had.
    editor->setText(QString::fromUtf8("слово é"));
    EXPECT_EQ(editor->text(), QString::fromUtf8("слово"));
    EXPECT_EQ(d.table().rows[0].search, kWord1251);
    d.reject();

    batch(*w, {{kWord1251, kDeed1251}});
    EXPECT_EQ(readFile(files.path() / "a.txt"), "an " + kDeed1251 + " here");

    // Choosing UTF-8 brings the cells over; a page without Cyrillic leaves them as they are.
    auto choose = [&](const char* caption) {
        dialogs.onShow = [caption](QDialog& dialog) {
            auto& s = static_cast<TSettDlg&>(dialog);
            s.TextEncodingComboBox->setCurrentIndex(s.TextEncodingComboBox->findText(QString::fromUtf8(caption)));
        };
        w->settingsDialogs().ShowSettings();
        dialogs.onShow = nullptr;
    };
    choose("Windows-1252 (Western European)");
    EXPECT_EQ(w->textEncoding(), platform::CodePageId::Windows1252);
    EXPECT_EQ(d.table().rows[0].search, kWord1251);
    choose("Windows-1251 (Cyrillic)");
    choose("UTF-8");
    EXPECT_EQ(d.table().rows[0].search, "\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE");
    EXPECT_EQ(readFile(dataDir.path() / "Batch.tmp"), project::batchTempBytes(d.table()));
}

TEST_F(BatchReplaceTest, AnotherEncodingTakesBackModifyUntilTheNextSearch) {
    files.write("a.txt", "caf\xE9");
    auto w = readyToReplace();
    control<QComboBox>(w, "SearchEdit")->setEditText(QString::fromUtf8("café"));
    control<QComboBox>(w, "Edit2")->setEditText(QStringLiteral("tea"));
    dialogs.onShow = [](QDialog& dialog) {
        auto& s = static_cast<TSettDlg&>(dialog);
        s.TextEncodingComboBox->setCurrentIndex(s.TextEncodingComboBox->findText("Windows-1252 (Western European)"));
    };
    w->settingsDialogs().ShowSettings();
    w->FindButtonClick();
    ASSERT_EQ(rows(*w), 1);
    w->ApplicationEvents1Idle();
    EXPECT_TRUE(w->commands().allowed(Command::ModifyAll));
    dialogs.onShow = [](QDialog& dialog) {
        auto& s = static_cast<TSettDlg&>(dialog);
        s.TextEncodingComboBox->setCurrentIndex(s.TextEncodingComboBox->findText("UTF-8"));
    };
    w->settingsDialogs().ShowSettings();
    // "café" is other bytes in UTF-8: the listed file holds none of them.
    EXPECT_FALSE(w->commands().allowed(Command::ModifyAll));
    EXPECT_EQ(readFile(files.path() / "a.txt"), "caf\xE9");
}


TEST_F(ProjectWindowTest, ConditionsPutIntoTheMemosComeBackWithTheirEmptyLines) {
    auto w = makeProjectWindow(false);
    using Lines = std::vector<std::string>;
    for (const Lines& lines : {Lines{}, Lines{""}, Lines{"a"}, Lines{"a", ""}, Lines{"a", "", "b"}, Lines{"", ""}}) {
        SCOPED_TRACE(::testing::PrintToString(lines));
        engine::SearchConditions c = w->currentConditions(engine::Tab::SearchAndReplace);
        c.findLines = c.searchLines = c.replaceLines = lines;
        w->applyConditions(c);
        const engine::SearchConditions back = w->currentConditions(engine::Tab::SearchAndReplace);
        EXPECT_EQ(back.findLines, lines);
        EXPECT_EQ(back.searchLines, lines);
        EXPECT_EQ(back.replaceLines, lines);
    }
}

}  // namespace
}  // namespace vsr::ui::test
