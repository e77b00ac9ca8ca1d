// Runs through the search driver with the window as host: messages, Stop, keys, closing.
#include "ui/widgets/busy_indicator.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

TEST_F(WindowTest, BlankPathOrMasksAreRefusedWithTheTabsCaption) {
    auto w = makeWindow();
    const struct {
        QWidget* tab;
        const char* caption;
    } tabs[] = {{control<QWidget>(w, "FindTab"), "Find"}, {control<QWidget>(w, "SearchReplaceTab"), "Search"}};
    for (const auto& t : tabs) {
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(t.tab);
        prompter.messages.clear();
        search(*w, "   ");
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].caption, t.caption);
        EXPECT_EQ(prompter.messages[0].text, "Please specify the Path");
        EXPECT_EQ(prompter.messages[0].icon, engine::MessageIcon::Exclamation);
        control<QComboBox>(w, "MasksComboBox")->setEditText(QStringLiteral("  "));
        search(*w, files.str());
        ASSERT_EQ(prompter.messages.size(), 2u);
        EXPECT_EQ(prompter.messages[1].text, "Please specify the Mask");
        EXPECT_EQ(prompter.messages[1].caption, t.caption);
        control<QComboBox>(w, "MasksComboBox")->setEditText(QStringLiteral("*.*"));
        // The window is left as it was: no list, controls enabled.
        EXPECT_FALSE(control<QSplitter>(w, "Splitter1")->isVisible());
        EXPECT_FALSE(w->state().busy);
        EXPECT_TRUE(control<QPushButton>(w, "FindBit")->isEnabled());
    }
}

TEST_F(WindowTest, ASearchListsRowsAndUpdatesStatusAndHistory) {
    files.write("a.txt", "alpha\nalpha\n");
    files.write("sub/b.log", "alpha\n");
    files.write("c.txt", "beta\n");
    auto w = makeWindow();
    control<QComboBox>(w, "MasksComboBox")->setEditText(QStringLiteral("*.txt;*.log"));
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("alpha"));
    search(*w, files.str() + "/");
    ASSERT_EQ(rows(*w), 2);
    EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->currentText().toStdString(), files.str());  // trailing "/" removed
    EXPECT_EQ(control<QComboBox>(w, "MasksComboBox")->currentText(), QStringLiteral("*.txt; *.log"));
    EXPECT_EQ(statusPanel(w, 0)->text(), QStringLiteral("Found Files:   2"));
    EXPECT_TRUE(statusPanel(w, 1)->text().isEmpty());
    EXPECT_EQ(control<QComboBox>(w, "FindEditComboBox")->itemText(0), QStringLiteral("alpha"));
    EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->itemText(0).toStdString(), files.str());
    // The model shows the rows with their columns; row 0 is selected after the run.
    EXPECT_EQ(control<QTreeView>(w, "ListView1")->model()->rowCount(), 2);
    EXPECT_TRUE(control<QTreeView>(w, "ListView1")->selectionModel()->isRowSelected(0, {}));
    EXPECT_EQ(control<QTreeView>(w, "ListView1")->model()->headerData(2, Qt::Horizontal).toString(),
              QStringLiteral("Found"));
    // Running the same search again keeps one history entry.
    w->FindButtonClick();
    EXPECT_EQ(control<QComboBox>(w, "FindEditComboBox")->count(), 1);
    EXPECT_FALSE(w->state().busy);
    EXPECT_FALSE(control<BusyIndicator>(w, "Animate1")->isActive());
}

TEST_F(WindowTest, NothingFoundSaysNotFound) {
    files.write("a.txt", "alpha\n");
    auto w = makeWindow();
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("zeta"));
    search(*w, files.str());
    EXPECT_EQ(rows(*w), 0);
    EXPECT_EQ(statusPanel(w, 0)->text(), QStringLiteral("Not Found"));
    EXPECT_FALSE(control<QCheckBox>(w, "ListXPCheckBox")->isEnabled());
}

// Stop is pressed from the event loop while the walk pumps, as a user's click would be.
class StopTest : public WindowTest {
protected:
    void SetUp() override {
        clock = std::make_unique<platform::FakeClock>();
        clock->setStepPerRead(20);  // every check finds 15 ms gone, so the walk pumps per file
        for (int i = 0; i < 200; ++i) files.write("f" + std::to_string(i) + ".txt", "needle\n");
    }
};

TEST_F(StopTest, StopDuringALongSearchKeepsTheRowsFoundSoFar) {
    auto w = makeWindow();
    int projects = 0;
    w->commands().setHandler(Command::OpenProject, [&] { ++projects; });
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("needle"));
    bool sawBusyState = false;
    bool armed = true;
    QObject::connect(control<QTreeView>(w, "ListView1")->model(), &QAbstractItemModel::rowsInserted, w.get(), [&] {
        if (!armed || rows(*w) != 5) return;
        armed = false;
        // In the middle of the run: the controls that feed the conditions are off.
        sawBusyState =
            !control<QPushButton>(w, "FindBit")->isEnabled() &&
            !control<QComboBox>(w, "FindEditComboBox")->isEnabled() &&
            !control<QComboBox>(w, "ComboBoxPath")->isEnabled() &&
            control<QPushButton>(w, "StopFindBit")->isEnabled() && w->state().busy &&
            !control<QMenu>(w, "File1")->menuAction()->isEnabled() &&
            !control<QTabWidget>(w, "PageControl1")
                 ->isTabVisible(control<QTabWidget>(w, "PageControl1")->indexOf(control<QWidget>(w, "OptionsTab"))) &&
            control<BusyIndicator>(w, "Animate1")->isActive();
        // Keys of the disabled menus reach nothing while the run is busy.
        w->commands().setAllowed(Command::OpenProject, true);
        control<QAction>(w, "Contents1")->trigger();
        w->findChild<QAction*>(QStringLiteral("OpenProject1"))->trigger();
        QTimer::singleShot(0, control<QPushButton>(w, "StopFindBit"), &QPushButton::click);
    });
    search(*w, files.str());
    EXPECT_TRUE(sawBusyState);
    EXPECT_EQ(projects, 0);
    EXPECT_TRUE(opened.empty());
    EXPECT_GE(rows(*w), 5);
    EXPECT_LT(rows(*w), 200);
    // Stopped: no row is chosen for the user, and the window is idle again.
    EXPECT_EQ(w->results().firstSelected(), -1);
    EXPECT_FALSE(w->state().busy);
    EXPECT_TRUE(control<QPushButton>(w, "FindBit")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(w, "StopFindBit")->isEnabled());
    EXPECT_TRUE(control<QMenu>(w, "File1")->menuAction()->isEnabled());
    EXPECT_TRUE(control<QTabWidget>(w, "PageControl1")
                    ->isTabVisible(control<QTabWidget>(w, "PageControl1")->indexOf(control<QWidget>(w, "OptionsTab"))));
    EXPECT_EQ(statusPanel(w, 0)->text(), QStringLiteral("Found Files:   %1").arg(rows(*w)));
    // The next search runs to its end again.
    w->FindButtonClick();
    EXPECT_EQ(rows(*w), 200);
}

TEST_F(StopTest, EscapeStopsTheRun) {
    auto w = makeWindow();
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("needle"));
    bool pressed = false;
    QObject::connect(control<QTreeView>(w, "ListView1")->model(), &QAbstractItemModel::rowsInserted, w.get(), [&] {
        if (pressed || rows(*w) < 5) return;
        pressed = true;
        QTimer::singleShot(0, w.get(), [&] {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w.get();
            QTest::keyClick(target, Qt::Key_Escape);
        });
    });
    search(*w, files.str());
    EXPECT_TRUE(pressed);
    EXPECT_LT(rows(*w), 200);
    EXPECT_TRUE(w->runState().stop);
    EXPECT_FALSE(w->state().busy);
}

TEST_F(WindowTest, AMalformedExpressionKeepsTheListAndSaysWhy) {
    files.write("a.txt", "alpha\n");
    auto w = makeWindow();
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 1);
    control<QRadioButton>(w, "RegExpFind")->click();
    control<QPlainTextEdit>(w, "FindMemo")->setPlainText(QStringLiteral("al(pha"));
    prompter.messages.clear();
    w->FindButtonClick();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, "Regular Expression");
    EXPECT_EQ(rows(*w), 1);
    EXPECT_TRUE(control<QTreeView>(w, "ListView1")->isVisible());
    EXPECT_FALSE(w->state().busy);
    EXPECT_TRUE(control<QPushButton>(w, "FindBit")->isEnabled());
    // The faulty character is selected for the user to mend.
    EXPECT_EQ(control<QPlainTextEdit>(w, "FindMemo")->textCursor().selectedText(), QStringLiteral("("));
}

TEST_F(StopTest, ClosingTheWindowDuringASearchStopsItAndClosesAfterwards) {
    auto w = makeWindow();
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("needle"));
    QObject::connect(control<QTreeView>(w, "ListView1")->model(), &QAbstractItemModel::rowsInserted, w.get(), [&] {
        if (rows(*w) == 3) QTimer::singleShot(0, w.get(), &QWidget::close);
    });
    search(*w, files.str());
    EXPECT_LT(rows(*w), 200);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }));
}

TEST_F(WindowTest, EnterInAOneLineFieldSearchesAndInAMemoBreaksTheLine) {
    files.write("a.txt", "alpha\n");
    auto w = makeWindow();
    control<QComboBox>(w, "ComboBoxPath")->setEditText(QString::fromStdString(files.str()));
    control<QRadioButton>(w, "TextButton")->click();
    control<QPlainTextEdit>(w, "FindMemo")->setFocus();
    QTest::keyClicks(control<QPlainTextEdit>(w, "FindMemo"), QStringLiteral("al"));
    QTest::keyClick(control<QPlainTextEdit>(w, "FindMemo"), Qt::Key_Return);
    QTest::keyClicks(control<QPlainTextEdit>(w, "FindMemo"), QStringLiteral("x"));
    QCoreApplication::processEvents();
    EXPECT_EQ(control<QPlainTextEdit>(w, "FindMemo")->toPlainText(), QStringLiteral("al\nx"));
    EXPECT_FALSE(control<QSplitter>(w, "Splitter1")->isVisible());

    control<QRadioButton>(w, "PhraseButton")->click();
    control<QComboBox>(w, "FindEditComboBox")->setFocus();
    QTest::keyClicks(control<QComboBox>(w, "FindEditComboBox")->lineEdit(), QStringLiteral("alpha"));
    QTest::keyClick(control<QComboBox>(w, "FindEditComboBox")->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows(*w) == 1; }));

    // On the Search and Replace tab Enter in the replacement memo is a line break too.
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    control<QRadioButton>(w, "TextSearchButton")->click();
    control<QRadioButton>(w, "ReplaceButton")->click();
    control<QPlainTextEdit>(w, "Memo2")->setFocus();
    QTest::keyClicks(control<QPlainTextEdit>(w, "Memo2"), QStringLiteral("a"));
    QTest::keyClick(control<QPlainTextEdit>(w, "Memo2"), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(control<QPlainTextEdit>(w, "Memo2")->toPlainText(), QStringLiteral("a\n"));
    EXPECT_EQ(w->results().tab, results::ListTab::Find);
}

TEST_F(WindowTest, DeleteKeyInTheListTriggersDeleteItems) {
    files.write("a.txt", "alpha\n");
    auto w = makeWindow();
    int deletes = 0;
    w->commands().setHandler(Command::DeleteItems, [&] { ++deletes; });
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    control<QTreeView>(w, "ListView1")->setFocus();
    QTest::keyClick(control<QTreeView>(w, "ListView1"), Qt::Key_Delete);
    EXPECT_EQ(deletes, 1);
    // Not in a text field, where Delete edits the text.
    control<QComboBox>(w, "FindEditComboBox")->setFocus();
    QTest::keyClick(control<QComboBox>(w, "FindEditComboBox")->lineEdit(), Qt::Key_Delete);
    EXPECT_EQ(deletes, 1);
}

TEST_F(WindowTest, BrowsePutsTheChosenFolderIntoThePath) {
    auto w = makeWindow();
    control<QComboBox>(w, "ComboBoxPath")->setEditText(QString::fromStdString(files.str()));
    prompter.folderAnswer = files.str() + "/sub/";
    control<QPushButton>(w, "Button1")->click();
    ASSERT_EQ(prompter.folderTitles.size(), 1u);
    EXPECT_EQ(prompter.folderTitles[0], "Select the directory");
    EXPECT_EQ(prompter.folderStarts[0], files.str());
    EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->currentText().toStdString(), files.str() + "/sub");
    // A path that is no folder starts the dialog at home; cancelling changes nothing.
    control<QComboBox>(w, "ComboBoxPath")->setEditText(QStringLiteral("/no/such/folder"));
    prompter.folderAnswer.clear();
    control<QPushButton>(w, "Button1")->click();
    EXPECT_EQ(prompter.folderStarts[1], QDir::homePath().toStdString());
    EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->currentText(), QStringLiteral("/no/such/folder"));
    // The root folder keeps its "/".
    prompter.folderAnswer = "/";
    control<QPushButton>(w, "Button1")->click();
    EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->currentText(), QStringLiteral("/"));
}

}  // namespace
}  // namespace vsr::ui::test
