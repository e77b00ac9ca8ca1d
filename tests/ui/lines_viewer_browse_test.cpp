#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "ui/window/find_window.h"
#include "ui/lines/lines_viewer.h"
#include "ui/lines/lines_browser.h"
#include "window_controls.h"

namespace vsr::ui {
namespace {

using vsr::ui::test::control;
using vsr::ui::test::statusPanel;

class SilentPrompter : public WindowPrompter {
public:
    void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon) override {
        messages.push_back(caption + ": " + text);
    }
    std::string selectFolder(const std::string&, const std::string&) override { return {}; }
    void showAbout(QWidget*) override {}
    std::vector<std::string> messages;
};

struct BrowseFixture : ::testing::Test {
    SilentPrompter prompter;
    vsr::test::TempDir files;
    std::unique_ptr<TFind> w;
    LinesBrowser* browser = nullptr;

    void SetUp() override {
        WindowServices s;
        s.prompter = &prompter;
        s.dotsPerInch = 96;
        w = std::make_unique<TFind>(s);
        w->show();
        browser = w->findChild<LinesBrowser*>();
        ASSERT_NE(browser, nullptr);
    }
    void TearDown() override { w.reset(); }

    void search(const std::string& query) {
        control<QComboBox>(w, "ComboBoxPath")->setEditText(QString::fromStdString(files.str()));
        if (w->activeTab() == engine::Tab::Find)
            control<QComboBox>(w, "FindEditComboBox")->setEditText(QString::fromStdString(query));
        else
            control<QComboBox>(w, "SearchEdit")->setEditText(QString::fromStdString(query));
        w->FindButtonClick();
    }
    // Lets the idle pause pass and the fill run: done when no browse is due and no fill runs,
    // also after the window's idle step (which may select the browsed row again) has had its turn.
    void settle() {
        auto quiet = [this] { return !browser->browsePending() && !browser->filling(); };
        ASSERT_TRUE(QTest::qWaitFor(quiet));
        QCoreApplication::processEvents();
        ASSERT_TRUE(QTest::qWaitFor(quiet));
    }
    std::string entry(int i) {
        return control<LinesViewer>(w, "ListBox1")->content().entry(static_cast<std::size_t>(i)).displayText;
    }
    void selectRow(std::size_t row) {
        const QModelIndex index = control<QTreeView>(w, "ListView1")->model()->index(static_cast<int>(row), 0);
        control<QTreeView>(w, "ListView1")
            ->selectionModel()
            ->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    std::size_t rowOf(const std::string& name) {
        for (std::size_t i = 0; i < w->results().count(); ++i)
            if (w->results().row(i).name == name) return i;
        return 999;
    }
};

TEST_F(BrowseFixture, SelectingARowShowsItsLinesAfterTheIdlePause) {
    files.write("a.txt", "one\nfind me\n");
    files.write("b.txt", "find\nno\nfind find\n");
    search("find");
    ASSERT_EQ(w->results().count(), 2u);
    settle();
    ASSERT_TRUE(control<LinesViewer>(w, "ListBox1")->hasLines());
    const std::size_t b = rowOf("b.txt");
    selectRow(b);
    settle();
    EXPECT_EQ(control<LinesViewer>(w, "ListBox1")->content().browsedName, "b.txt");
    ASSERT_EQ(control<LinesViewer>(w, "ListBox1")->count(), 3);
    EXPECT_EQ(entry(0), "     File:  b.txt      Path:  " + files.str());
    EXPECT_EQ(entry(2), " line 3: find find");
    EXPECT_EQ(control<LinesViewer>(w, "ListBox1")->content().entry(2).highlights.size(), 2u);
    EXPECT_TRUE(w->commands().allowed(Command::EditFile));
    EXPECT_TRUE(w->commands().allowed(Command::SaveLines));
    EXPECT_TRUE(control<QPushButton>(w, "FindBit")->isEnabled());
}

TEST_F(BrowseFixture, SelectingAnotherRowDuringALongFillEndsItAndShowsTheNewRow) {
    std::string big;
    for (int i = 0; i < 1500000; ++i) big += "find this line\n";
    files.write("big.txt", big);
    files.write("small.txt", "find\n");
    search("find");
    settle();
    const std::size_t bigRow = rowOf("big.txt");
    const std::size_t smallRow = rowOf("small.txt");
    selectRow(bigRow);
    // While the big file is filled the window pumps messages; the selection moves then. The last
    // pass is made long ago, so the fill pumps at its first check and not only after the interval.
    w->runState().lastPumpMs = -1000000;
    bool moved = false;
    QTimer::singleShot(0, w.get(), [&] {
        selectRow(smallRow);
        moved = true;
    });
    engine::FillResult r = browser->fillRow(bigRow, engine::FillPurpose::Browse);
    EXPECT_TRUE(moved);
    EXPECT_EQ(r.end, engine::FillEnd::Superseded);
    EXPECT_LT(control<LinesViewer>(w, "ListBox1")->count(), 5002);
    settle();
    EXPECT_EQ(control<LinesViewer>(w, "ListBox1")->content().browsedName, "small.txt");
    EXPECT_EQ(control<LinesViewer>(w, "ListBox1")->count(), 2);
}

TEST_F(BrowseFixture, IntervalCommandsFollowTheirRules) {
    files.write("a.txt", "x\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\n");
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    control<QRadioButton>(w, "PhraseButtonReplace")->setChecked(true);
    control<QCheckBox>(w, "PhraseXPCheckBox")->setChecked(true);
    control<QRadioButton>(w, "ReplaceButton")->click();
    search("x");
    settle();
    ASSERT_EQ(w->results().count(), 1u);
    ASSERT_TRUE(w->commands().allowed(Command::ModifyAll));
    ASSERT_TRUE(browser->intervalsInEffect());
    ASSERT_EQ(control<LinesViewer>(w, "ListBox1")->count(), 13);

    // Header selected: Mark From and Mark To are off, Mark All is on.
    control<LinesViewer>(w, "ListBox1")->setCurrentIndex(0);
    emit control<QMenu>(w, "LinesPopupMenu")->aboutToShow();
    EXPECT_FALSE(w->commands().allowed(Command::MarkFrom));
    EXPECT_TRUE(w->commands().allowed(Command::MarkAllBrowsed));

    control<LinesViewer>(w, "ListBox1")->setCurrentIndex(10);  // line 10
    emit control<QMenu>(w, "LinesPopupMenu")->aboutToShow();
    ASSERT_TRUE(w->commands().enabled(Command::MarkFrom));
    control<LinesViewer>(w, "ListBox1")->setCurrentIndex(4);
    w->commands().trigger(Command::MarkFrom);  // From 4
    control<LinesViewer>(w, "ListBox1")->setCurrentIndex(2);
    w->commands().trigger(Command::MarkTo);  // To 2 above From 4: From goes to the top
    EXPECT_EQ(w->results().row(0).interval, (results::ModificationInterval{0, 2}));
    EXPECT_EQ(w->results().row(0).result, "Found       Top - 2");
    EXPECT_EQ(statusPanel(w, 1)->text().toStdString(),
              "Modification interval for the browsed file: From top to line 2");

    emit control<QMenu>(w, "LinesPopupMenu")->aboutToShow();
    w->commands().trigger(Command::UnmarkAllBrowsed);
    EXPECT_EQ(w->results().row(0).result, "Found       Nil");
    EXPECT_EQ(statusPanel(w, 1)->text().toStdString(),
              "Modification interval for the browsed file: The marked lines are absent");

    // On the Find tab the marking items are hidden.
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "FindTab"));
    emit control<QMenu>(w, "LinesPopupMenu")->aboutToShow();
    for (QAction* a : control<QMenu>(w, "LinesPopupMenu")->actions())
        if (a->objectName() == QLatin1String("MarkFrom3")) {
            EXPECT_FALSE(a->isVisible());
        }
}

TEST_F(BrowseFixture, RegularExpressionErrorSelectsTheCharacterInTheField) {
    files.write("a.txt", "abc\n");
    control<QRadioButton>(w, "RegExpFind")->click();
    control<QPlainTextEdit>(w, "FindMemo")->setPlainText(QStringLiteral("a"));
    search("");
    settle();
    ASSERT_EQ(w->results().count(), 1u);
    control<QPlainTextEdit>(w, "FindMemo")->setPlainText(QStringLiteral("ab\n(c"));
    prompter.messages.clear();
    selectRow(0);  // editing the query let go of the rows
    control<LinesViewer>(w, "ListBox1")->clear();
    engine::FillResult r = browser->fillRow(0, engine::FillPurpose::Browse);
    EXPECT_EQ(r.end, engine::FillEnd::RegExprError);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].rfind("Regular Expression: Error: ", 0), 0u);
    EXPECT_TRUE(control<QPlainTextEdit>(w, "FindMemo")->textCursor().hasSelection());
    EXPECT_TRUE(control<QPushButton>(w, "FindBit")->isEnabled());
}

TEST_F(BrowseFixture, ADoubleClickDuringAFillEndsTheFillBeforeTheFileIsEdited) {
    std::string big;
    for (int i = 0; i < 1500000; ++i) big += "find this line\n";
    files.write("big.txt", big);
    search("find");
    settle();
    struct Edit {
        bool filling, findEnabled;
    };
    std::vector<Edit> edits;
    w->commands().setHandler(Command::EditFile, [&] {
        edits.push_back({browser->filling(), control<QPushButton>(w, "FindBit")->isEnabled()});
    });
    bool clickedDuringFill = false;
    QTimer::singleShot(0, w.get(), [&] {
        clickedDuringFill = browser->filling();
        QTest::mouseDClick(control<LinesViewer>(w, "ListBox1")->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    });
    control<LinesViewer>(w, "ListBox1")->clear();
    const engine::FillResult r = browser->fillRow(0, engine::FillPurpose::Browse);
    ASSERT_TRUE(clickedDuringFill);
    EXPECT_EQ(r.end, engine::FillEnd::Stopped);
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_FALSE(edits[0].filling);
    EXPECT_TRUE(edits[0].findEnabled);  // the running state is over
    EXPECT_FALSE(w->runState().stop);
    // Outside a fill the double click edits at once.
    QTest::mouseDClick(control<LinesViewer>(w, "ListBox1")->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    EXPECT_EQ(edits.size(), 2u);
}

}  // namespace
}  // namespace vsr::ui
