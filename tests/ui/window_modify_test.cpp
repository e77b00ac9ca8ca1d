// Modify Selected, Modify All, Undo and Erase Backups run from the window, and the query
// field's selection after a regular-expression error.
#include <filesystem>

#include "support/temp_dir.h"
#include "ui/widgets/expression_selection.h"
#include "ui/lines/lines_viewer.h"
#include "ui/lines/lines_browser.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

namespace fs = std::filesystem;
using vsr::test::readFile;

class ModifyTest : public WindowTest {
protected:
    // A Search and Replace list of the files holding "alpha", ready to replace it with "omega".
    std::unique_ptr<TFind> searched(bool backups = true) {
        auto w = makeWindow();
        control<QCheckBox>(w, "CreatBackupCheckBox")->setChecked(backups);
        control<QCheckBox>(w, "IncludeSubdirectoriesCheckBox")->setChecked(true);
        control<QCheckBox>(w, "SensitiveCheckBox")->setChecked(false);
        control<QCheckBox>(w, "WholeWordsCheckBox")->setChecked(false);
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
        control<QRadioButton>(w, "PhraseButtonReplace")->click();
        control<QRadioButton>(w, "ReplaceButton")->click();
        control<QComboBox>(w, "SearchEdit")->setEditText(QStringLiteral("alpha"));
        control<QComboBox>(w, "Edit2")->setEditText(QStringLiteral("omega"));
        search(*w, files.str());
        return w;
    }

    static std::string resultOf(TFind& w, const std::string& name) {
        for (std::size_t i = 0; i < w.results().count(); ++i)
            if (w.results().row(i).name == name) return w.results().row(i).result;
        return "<no row>";
    }

    // The window is idle again after a run: controls back, Stop off, no animation.
    static void expectIdle(TFind& w) {
        EXPECT_FALSE(w.state().busy);
        EXPECT_TRUE(control<QPushButton>(w, "SearchSpeedButton")->isEnabled());
        EXPECT_TRUE(control<QComboBox>(w, "SearchEdit")->isEnabled());
        EXPECT_FALSE(control<QToolButton>(w, "StopSearch")->isEnabled());
        EXPECT_TRUE(control<QMenu>(w, "File1")->menuAction()->isEnabled());
    }
};

TEST_F(ModifyTest, ModifyAllRewritesTheFilesAndUndoRestoresThemByteForByte) {
    const struct {
        const char* name;
        const char* before;
        const char* after;
    } cases[] = {
        {"a.txt", "one alpha two", "one omega two"},
        {"b.txt", "alpha alpha", "omega omega"},
        {"c.txt", "alphabet\tALPHA", "omegabet\tomega"},
    };
    for (const auto& c : cases) files.write(c.name, c.before);
    files.write("other.txt", "beta");
    auto w = searched();
    ASSERT_EQ(rows(*w), 3);
    ASSERT_TRUE(w->commands().enabled(Command::ModifyAll));
    EXPECT_FALSE(w->commands().enabled(Command::Undo));

    w->commands().trigger(Command::ModifyAll);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readFile(files.path() / c.name), c.after);
        EXPECT_EQ(readFile(files.path() / (std::string(c.name) + ".bak")), c.before);
        EXPECT_EQ(resultOf(*w, c.name), "Modified");
    }
    EXPECT_EQ(readFile(files.path() / "other.txt"), "beta");
    EXPECT_EQ(control<QComboBox>(w, "Edit2")->itemText(0), QStringLiteral("omega"));
    EXPECT_TRUE(w->commands().enabled(Command::Undo));
    EXPECT_TRUE(w->commands().enabled(Command::ModifyAll));
    EXPECT_TRUE(w->commands().allowed(Command::SaveList));
    expectIdle(*w);

    w->commands().trigger(Command::Undo);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readFile(files.path() / c.name), c.before);
        EXPECT_FALSE(fs::exists(files.path() / (std::string(c.name) + ".bak")));
        EXPECT_EQ(resultOf(*w, c.name), "Undid");
    }
    EXPECT_FALSE(w->commands().enabled(Command::Undo));
    expectIdle(*w);
}

TEST_F(ModifyTest, UndoWithAMissingBackupMarksThatRowFailedAndUndoesTheOthers) {
    files.write("a.txt", "alpha");
    files.write("b.txt", "alpha!");
    auto w = searched();
    w->commands().trigger(Command::ModifyAll);
    fs::remove(files.path() / "a.txt.bak");
    w->commands().trigger(Command::Undo);
    EXPECT_EQ(resultOf(*w, "a.txt"), "Failed Undo");
    EXPECT_EQ(readFile(files.path() / "a.txt"), "omega");  // the modified file is kept, not lost
    EXPECT_EQ(resultOf(*w, "b.txt"), "Undid");
    EXPECT_EQ(readFile(files.path() / "b.txt"), "alpha!");
    EXPECT_FALSE(w->commands().enabled(Command::Undo));
    expectIdle(*w);
}

TEST_F(ModifyTest, ModifySelectedRewritesOnlyTheSelectedRowAndAsksForOneWithoutSelection) {
    files.write("a.txt", "alpha");
    files.write("b.txt", "alpha");
    auto w = searched(false);
    ASSERT_EQ(rows(*w), 2);
    ASSERT_EQ(w->results().firstSelected(), 0);
    const std::string chosen = w->results().row(0).name, other = w->results().row(1).name;
    ASSERT_TRUE(w->commands().enabled(Command::ModifySelected));
    w->commands().trigger(Command::ModifySelected);
    EXPECT_EQ(readFile(files.path() / chosen), "omega");
    EXPECT_EQ(readFile(files.path() / other), "alpha");
    EXPECT_EQ(resultOf(*w, other).rfind("Found", 0), 0u);
    // Backups off: nothing to undo, and no backup was made.
    EXPECT_FALSE(w->commands().enabled(Command::Undo));
    EXPECT_FALSE(fs::exists(files.path() / (chosen + ".bak")));

    w->results().deselectAll();
    prompter.messages.clear();
    w->commands().invoke(Command::ModifySelected);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, "Modify");
    EXPECT_EQ(prompter.messages[0].text, "Please select some items");
    EXPECT_EQ(readFile(files.path() / other), "alpha");
    expectIdle(*w);
}

// Stop is clicked from the event loop while the run pumps, as a user's click would be.
class ModifyStopTest : public ModifyTest {
protected:
    void SetUp() override {
        clock = std::make_unique<platform::FakeClock>();
        clock->setStepPerRead(20);  // every check finds 15 ms gone, so the run pumps per file
        for (int i = 0; i < 40; ++i) files.write("f" + std::to_string(i) + ".txt", "alpha");
    }
};

TEST_F(ModifyStopTest, StopLeavesTheProcessedFilesModifiedAndTheRestUntouched) {
    auto w = searched();
    ASSERT_EQ(rows(*w), 40);
    bool sawRunning = false;
    QObject::connect(control<QTreeView>(w, "ListView1")->model(), &QAbstractItemModel::dataChanged, w.get(), [&] {
        int modified = 0;
        for (std::size_t i = 0; i < w->results().count(); ++i) modified += w->results().row(i).result == "Modified";
        if (modified != 3 || sawRunning) return;
        sawRunning = w->state().busy && control<QToolButton>(w, "StopSearch")->isEnabled() &&
                     !control<QPushButton>(w, "SearchSpeedButton")->isEnabled() &&
                     !w->commands().enabled(Command::Undo) && !w->commands().enabled(Command::ModifyAll);
        QTimer::singleShot(0, control<QToolButton>(w, "StopSearch"), &QToolButton::click);
    });
    w->commands().trigger(Command::ModifyAll);
    EXPECT_TRUE(sawRunning);
    int modified = 0;
    for (std::size_t i = 0; i < w->results().count(); ++i) {
        const results::ResultItem& row = w->results().row(i);
        const std::string content = readFile(files.path() / row.name);
        SCOPED_TRACE(row.name);
        if (row.result == "Modified") {
            ++modified;
            EXPECT_EQ(content, "omega");
        } else {
            EXPECT_EQ(row.result.rfind("Found", 0), 0u);
            EXPECT_EQ(content, "alpha");
        }
    }
    EXPECT_GE(modified, 3);
    EXPECT_LT(modified, 40);
    expectIdle(*w);
    // The files rewritten before the stop can still be undone.
    ASSERT_TRUE(w->commands().enabled(Command::Undo));
    w->commands().trigger(Command::Undo);
    for (std::size_t i = 0; i < w->results().count(); ++i)
        EXPECT_EQ(readFile(files.path() / w->results().row(i).name), "alpha");
}

TEST_F(ModifyStopTest, ClosingTheWindowDuringAModificationStopsItAndClosesAfterwards) {
    auto w = searched();
    QObject::connect(control<QTreeView>(w, "ListView1")->model(), &QAbstractItemModel::dataChanged, w.get(), [&] {
        if (w->state().busy) QTimer::singleShot(0, w.get(), &QWidget::close);
    });
    w->commands().trigger(Command::ModifyAll);
    int untouched = 0;
    for (std::size_t i = 0; i < w->results().count(); ++i)
        untouched += readFile(files.path() / w->results().row(i).name) == "alpha";
    EXPECT_GT(untouched, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }));
}

TEST_F(ModifyTest, CreateBackupsClickMakesTheListStaleAndTurningItOffDisablesUndo) {
    files.write("a.txt", "alpha");
    auto w = searched();
    w->commands().trigger(Command::ModifyAll);
    ASSERT_TRUE(w->commands().enabled(Command::Undo));
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "OptionsTab"));
    control<QCheckBox>(w, "CreatBackupCheckBox")->click();  // off
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    EXPECT_FALSE(w->commands().enabled(Command::Undo));
    EXPECT_FALSE(w->commands().enabled(Command::ModifyAll));
    EXPECT_FALSE(w->commands().enabled(Command::ModifySelected));
    // Turning it on again brings neither back: the list waits for a new search.
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "OptionsTab"));
    control<QCheckBox>(w, "CreatBackupCheckBox")->click();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    EXPECT_FALSE(w->commands().enabled(Command::Undo));
    EXPECT_FALSE(w->commands().enabled(Command::ModifyAll));
    // The command's key reaches nothing either: the file stays modified.
    w->commands().invoke(Command::Undo);
    EXPECT_EQ(readFile(files.path() / "a.txt"), "omega");
    EXPECT_TRUE(fs::exists(files.path() / "a.txt.bak"));
}

TEST_F(ModifyTest, EraseBackupsRemovesTheBackupsBelowThePathAndDisablesUndo) {
    files.write("a.txt", "alpha");
    files.write("sub/old.BAK", "x");
    files.write("sub/keep.txt", "alpha");
    files.write("sub/notes.bakery", "x");
    auto w = searched();
    w->commands().trigger(Command::ModifyAll);
    ASSERT_TRUE(fs::exists(files.path() / "a.txt.bak"));
    ASSERT_TRUE(fs::exists(files.path() / "sub/keep.txt.bak"));
    ASSERT_TRUE(w->commands().enabled(Command::Undo));
    const bool modifyAllBefore = w->commands().allowed(Command::ModifyAll);

    w->commands().invoke(Command::EraseBackups);
    EXPECT_FALSE(fs::exists(files.path() / "a.txt.bak"));
    EXPECT_FALSE(fs::exists(files.path() / "sub/old.BAK"));
    EXPECT_FALSE(fs::exists(files.path() / "sub/keep.txt.bak"));
    EXPECT_TRUE(fs::exists(files.path() / "sub/keep.txt"));
    EXPECT_TRUE(fs::exists(files.path() / "sub/notes.bakery"));
    EXPECT_EQ(readFile(files.path() / "a.txt"), "omega");
    EXPECT_FALSE(w->commands().enabled(Command::Undo));
    EXPECT_EQ(w->commands().allowed(Command::ModifyAll), modifyAllBefore);
    expectIdle(*w);

    // An empty path only brings the message.
    control<QComboBox>(w, "ComboBoxPath")->setEditText(QStringLiteral("   "));
    prompter.messages.clear();
    w->commands().invoke(Command::EraseBackups);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, "Erase Backup");
    EXPECT_EQ(prompter.messages[0].text, "Please specify the Path");
}

TEST_F(WindowTest, ARegularExpressionErrorInASearchSelectsTheCharacterInTheQueryField) {
    files.write("a.txt", "abc\n");
    auto w = makeWindow();
    control<QRadioButton>(w, "RegExpFind")->click();
    control<QPlainTextEdit>(w, "FindMemo")->setPlainText(QStringLiteral("ab\n(c"));
    control<QPlainTextEdit>(w, "FindMemo")->moveCursor(QTextCursor::Start);
    search(*w, files.str());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, "Regular Expression");
    EXPECT_EQ(prompter.messages[0].text.rfind("Error: ", 0), 0u);
    EXPECT_TRUE(control<QPlainTextEdit>(w, "FindMemo")->isEnabled());
    const QTextCursor cursor = control<QPlainTextEdit>(w, "FindMemo")->textCursor();
    EXPECT_EQ(cursor.selectionEnd() - cursor.selectionStart(), 1);
    EXPECT_FALSE(w->state().busy);
}

TEST(ExpressionSelection, CountsBytesAndLineBreaksAsTheCompilerDoes) {
    using platform::CodePageId;
    const struct {
        const char* text;
        int position;
        const char* selected;
        CodePageId encoding = CodePageId::Utf8;
    } cases[] = {
        {"ab\n(c", 1, "a"},
        {"ab\n(c", 5, "("},             // the line break counts as CR LF
        {"ab\n(c", 3, "\u2029"},        // the break itself (the field's paragraph separator)
        {"\xC3\xA9(x", 3, "("},         // a two-byte character
        {"\xF0\x9F\x98\x80(", 5, "("},  // beyond the basic plane: two units in the field
        {"ab", 40, "b"},                // past the end: the last character
        {"\xC3\xA9(x", 2, "(", CodePageId::Windows1252},  // one byte per character on a page
        {"\xD0\xB6\n(", 4, "(", CodePageId::Windows1251},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " @" + std::to_string(c.position));
        QPlainTextEdit memo;
        memo.setPlainText(QString::fromUtf8(c.text));
        selectExpressionCharacter(&memo, c.position, c.encoding);
        EXPECT_EQ(memo.textCursor().selectedText(), QString::fromUtf8(c.selected));
    }
}

TEST_F(ModifyTest, AFillForAnotherCommandHoldsUndoBackUntilTheNextBrowseFill) {
    files.write("a.txt", "alpha");
    files.write("b.txt", "alpha beta");
    auto w = searched();
    auto* browser = w->findChild<LinesBrowser*>();
    ASSERT_NE(browser, nullptr);
    auto settle = [&] { settleBrowsing(*w); };
    auto selectRow = [&](int row) {
        control<QTreeView>(w, "ListView1")
            ->selectionModel()
            ->setCurrentIndex(control<QTreeView>(w, "ListView1")->model()->index(row, 0),
                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    };
    ASSERT_EQ(rows(*w), 2);
    // The run fills the viewer for its selected row as its last step; Undo stays on after it.
    w->commands().trigger(Command::ModifyAll);
    settle();
    EXPECT_TRUE(w->commands().enabled(Command::Undo));
    ASSERT_EQ(control<LinesViewer>(w, "ListBox1")->content().browsedRow, 0);

    // A Silent fill for another command holds Undo back until the user browses again.
    browser->fillRow(0, engine::FillPurpose::Silent);
    EXPECT_FALSE(w->commands().enabled(Command::Undo));
    selectRow(1);
    settle();
    EXPECT_EQ(control<LinesViewer>(w, "ListBox1")->content().browsedRow, 1);
    EXPECT_TRUE(w->commands().enabled(Command::Undo));

    // Something that switches Undo off for good in between is not undone by the next Browse fill.
    browser->fillRow(1, engine::FillPurpose::Silent);
    ASSERT_FALSE(w->commands().enabled(Command::Undo));
    w->commands().trigger(Command::DeleteItems);  // row 1
    ASSERT_EQ(rows(*w), 1);
    selectRow(0);
    control<LinesViewer>(w, "ListBox1")->clear();
    browser->fillRow(0, engine::FillPurpose::Browse);
    EXPECT_TRUE(control<LinesViewer>(w, "ListBox1")->hasLines());
    EXPECT_FALSE(w->commands().enabled(Command::Undo));
}

// The real files, except that one file's rewrite is refused, as a full disk would refuse it.
class RefusingStore final : public durable::PosixFileStore {
public:
    explicit RefusingStore(std::string refused) : refused_(std::move(refused)) {}
    durable::RewriteBatch::Staged stageRewrite(const durable::RewriteRequest& request, std::size_t tag) override {
        if (request.path == refused_) return durable::RewriteBatch::Staged::Refused;
        return PosixFileStore::stageRewrite(request, tag);
    }

private:
    std::string refused_;
};

TEST_F(ModifyTest, AFileWhoseRewriteIsRefusedStaysAsItWasAndTheOthersAreModified) {
    files.write("a.txt", "alpha");
    files.write("b.txt", "alpha beta");
    files.write("c.txt", "gamma alpha");
    RefusingStore store((files.path() / "b.txt").string());
    fileStore = &store;
    auto w = searched();
    ASSERT_EQ(rows(*w), 3);
    w->commands().trigger(Command::ModifyAll);
    EXPECT_EQ(resultOf(*w, "a.txt"), "Modified");
    EXPECT_EQ(resultOf(*w, "b.txt"), "Failed Modification");
    EXPECT_EQ(resultOf(*w, "c.txt"), "Modified");
    EXPECT_EQ(readFile(files.path() / "b.txt"), "alpha beta");
    EXPECT_EQ(readFile(files.path() / "c.txt"), "gamma omega");
    // Undo brings back what was rewritten; the refused file has no backup to bring back.
    w->commands().trigger(Command::Undo);
    EXPECT_EQ(readFile(files.path() / "a.txt"), "alpha");
    EXPECT_EQ(readFile(files.path() / "c.txt"), "gamma alpha");
    EXPECT_FALSE(fs::exists(files.path() / "b.txt.bak"));
    expectIdle(*w);
}

}  // namespace
}  // namespace vsr::ui::test
