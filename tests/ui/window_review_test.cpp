// Keeping some replacements and skipping others, in the window: a check box per match in the
// Lines Viewer, a check per file in the list, the count in the status bar, and Modify writing
// exactly what was kept.
#include <QAccessible>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QLabel>
#include <QPalette>
#include <QStyleFactory>
#include <random>

#include "ui/lines/lines_viewer.h"
#include "ui/lines/lines_viewer_accessible.h"
#include "ui/list/list_commands.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

using vsr::test::readFile;

class ReviewTest : public WindowTest {
protected:
    void SetUp() override {
        files.write("a.txt", "alpha one alpha two alpha\nkeep\n");
        files.write("b.txt", "alpha\nbeta alpha\n");
        files.write("c.txt", "x alpha\n");
    }
    // The three files listed by name for replacing "alpha" with "omega", Preview on, a.txt browsed.
    void searched(const char* replacement = "omega") {
        w = makeWindow();
        control<QCheckBox>(w, "CreatBackupCheckBox")->setChecked(true);
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
        control<QRadioButton>(w, "PhraseButtonReplace")->click();
        control<QRadioButton>(w, "ReplaceButton")->click();
        control<QCheckBox>(w, "SensitiveCheckBox")->setChecked(true);
        control<QCheckBox>(w, "WholeWordsCheckBox")->setChecked(false);
        control<QCheckBox>(w, "PreviewCheckBox")->setChecked(true);
        control<QComboBox>(w, "SearchEdit")->setEditText(QStringLiteral("alpha"));
        control<QComboBox>(w, "Edit2")->setEditText(QString::fromLatin1(replacement));
        search(*w, files.str());
        w->listCommands().SortByColumn(0);
        browse(0);
    }
    void browse(int row) {
        QTreeView* view = control<QTreeView>(w, "ListView1");
        view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        settleBrowsing(*w);
    }
    LinesViewer* viewer() { return control<LinesViewer>(w, "ListBox1"); }
    void key(QWidget* target, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        target->setFocus();
        QTest::keyClick(target, k, mods);
        settleBrowsing(*w);
    }
    QString status() { return statusPanel(w, 1)->text(); }
    // The check of each row, "+" on, "-" off, "~" partly.
    std::string checks() {
        QAbstractItemModel* m = control<QTreeView>(w, "ListView1")->model();
        std::string out;
        for (int r = 0; r < m->rowCount(); ++r) {
            const QVariant v = m->index(r, 0).data(Qt::CheckStateRole);
            out += !v.isValid() ? '.' : v.toInt() == Qt::Checked ? '+' : v.toInt() == Qt::Unchecked ? '-' : '~';
        }
        return out;
    }
    // The boxes of the viewer, "+" on and "-" off, in the order of their replacements.
    std::string boxes() {
        std::string out;
        for (const LinesViewer::ReviewBox& b : viewer()->reviewBoxes()) out += b.on ? '+' : '-';
        return out;
    }
    std::string file(const char* name) { return readFile(files.path() / name); }
    // The first found line of the pane, below the header.
    void firstLine() {
        key(viewer(), Qt::Key_Home);
        key(viewer(), Qt::Key_Down);
    }

    std::unique_ptr<TFind> w;
};

// The whole way through by key: turn single replacements off in the pane, a whole file off
// in the list, and Modify All writes exactly the others; Undo puts every file back.
TEST_F(ReviewTest, KeysChooseAndModifyAllWritesExactlyTheKeptReplacements) {
    searched();
    EXPECT_EQ(checks(), "+++");
    EXPECT_EQ(boxes(), "+++");
    EXPECT_EQ(status(), QStringLiteral("Preview: 6 of 6 replacements in 3 files will be written"));

    // The first found line; Space turns its first replacement off, Right and Space the third.
    firstLine();
    key(viewer(), Qt::Key_Space);
    key(viewer(), Qt::Key_Right);
    key(viewer(), Qt::Key_Right);
    key(viewer(), Qt::Key_Space);
    EXPECT_EQ(boxes(), "-+-");
    EXPECT_EQ(checks(), "~++");
    EXPECT_EQ(status(), QStringLiteral("Preview: 4 of 6 replacements in 3 files will be written"));
    // The preview shows the line as it will be written now.
    EXPECT_EQ(viewer()->previewDisplayed(1, 0).text, QStringLiteral("alpha one alphaomega two alpha"));
    // A screen reader hears each box with its place and state.
    QAccessibleInterface* line = QAccessible::queryAccessibleInterface(viewer())->child(1);
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->childCount(), 3);
    EXPECT_EQ(line->child(0)->text(QAccessible::Name), QStringLiteral("replacement 1 of 3, off"));
    EXPECT_EQ(line->child(1)->text(QAccessible::Name), QStringLiteral("replacement 2 of 3, on"));
    EXPECT_EQ(line->child(1)->role(), QAccessible::CheckBox);
    EXPECT_TRUE(line->child(1)->state().checked);

    // b.txt: Space on its row in the list turns the whole file off.
    browse(1);
    EXPECT_EQ(boxes(), "++");
    key(control<QTreeView>(w, "ListView1"), Qt::Key_Space);
    EXPECT_EQ(checks(), "~-+");
    EXPECT_EQ(boxes(), "--");
    EXPECT_EQ(status(), QStringLiteral("Preview: 2 of 6 replacements in 2 files will be written"));

    // Shift+Space in the pane turns c.txt off and on again; the choice of a.txt is kept.
    browse(2);
    key(viewer(), Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(checks(), "~--");
    key(viewer(), Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(checks(), "~-+");
    browse(0);
    EXPECT_EQ(boxes(), "-+-");

    w->commands().trigger(Command::ModifyAll);
    EXPECT_EQ(file("a.txt"), "alpha one omega two alpha\nkeep\n");
    EXPECT_EQ(file("b.txt"), "alpha\nbeta alpha\n");
    EXPECT_EQ(file("c.txt"), "x omega\n");
    EXPECT_EQ(w->results().row(1).result, "Left Unchanged");
    EXPECT_EQ(w->results().row(0).result, "Modified");
    // A file left alone has no backup to put back.
    EXPECT_FALSE(std::filesystem::exists(files.path() / "b.txt.bak"));

    ASSERT_TRUE(w->commands().enabled(Command::Undo));
    w->commands().trigger(Command::Undo);
    EXPECT_EQ(file("a.txt"), "alpha one alpha two alpha\nkeep\n");
    EXPECT_EQ(file("b.txt"), "alpha\nbeta alpha\n");
    EXPECT_EQ(file("c.txt"), "x alpha\n");
}

// Modify Selected honours the choice of the rows it modifies and touches no other file; a
// click on a box turns it off like Space.
TEST_F(ReviewTest, ModifySelectedAndTheMouse) {
    searched();
    firstLine();
    const QRect box = viewer()->boxRect(1);
    ASSERT_FALSE(box.isEmpty());
    QTest::mouseClick(viewer()->viewport(), Qt::LeftButton, Qt::NoModifier, box.center());
    settleBrowsing(*w);
    EXPECT_EQ(boxes(), "+-+");
    w->commands().trigger(Command::ModifySelected);
    EXPECT_EQ(file("a.txt"), "omega one alpha two omega\nkeep\n");
    EXPECT_EQ(file("b.txt"), "alpha\nbeta alpha\n");
    EXPECT_EQ(file("c.txt"), "x alpha\n");
}

// The choice belongs to the edits it was made on: other replacement text, or a new search,
// starts again with every replacement on, and Modify then writes them all.
TEST_F(ReviewTest, AnotherReplacementOrANewSearchDropsTheChoice) {
    searched();
    firstLine();
    key(viewer(), Qt::Key_Space);
    browse(2);
    key(control<QTreeView>(w, "ListView1"), Qt::Key_Space);
    EXPECT_EQ(checks(), "~+-");

    control<QComboBox>(w, "Edit2")->setEditText(QStringLiteral("delta"));
    browse(1);
    EXPECT_EQ(checks(), "+++");
    browse(0);
    EXPECT_EQ(boxes(), "+++");

    firstLine();
    key(viewer(), Qt::Key_Space);
    EXPECT_EQ(checks(), "~++");
    w->FindButtonClick();
    w->listCommands().SortByColumn(0);
    browse(0);
    EXPECT_EQ(checks(), "+++");
    w->commands().trigger(Command::ModifyAll);
    EXPECT_EQ(file("a.txt"), "delta one delta two delta\nkeep\n");
    EXPECT_EQ(file("c.txt"), "x delta\n");

    // Without Preview the list carries no checks.
    control<QCheckBox>(w, "PreviewCheckBox")->click();
    browse(1);
    EXPECT_EQ(checks(), "...");
}

// A toggle redraws only its line; that line must be what a fresh preview of the whole file
// shows. Random toggles on a file of CR LF lines (written as LF, so every line's end changes
// too), then the file browsed again from scratch.
TEST_F(ReviewTest, ATogglesLineEqualsAFreshPreview) {
    files.write("a.txt", "alpha beta alpha\r\nnone\r\nalpha\r\nbeta alpha alpha alpha\r\nalpha");
    searched();
    auto drawn = [this] {
        std::vector<std::string> out;
        for (int row = 0; row < viewer()->rowCount(); ++row) {
            const auto [index, line] = viewer()->rowAt(row);
            if (line < 0) continue;
            const LinesViewer::PreviewDisplay& d = viewer()->previewDisplayed(index, line);
            std::string text = d.text.toStdString();
            for (auto [o, n] : d.inserted) text += " +" + std::to_string(o) + "," + std::to_string(n);
            for (auto [o, n] : d.removed) text += " -" + std::to_string(o) + "," + std::to_string(n);
            out.push_back(text);
        }
        return out;
    };
    ASSERT_EQ(viewer()->reviewTotal(), 7u);
    firstLine();
    std::mt19937 random(7);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        const int moves = static_cast<int>(random() % 4);
        for (int m = 0; m < moves; ++m) key(viewer(), random() % 2 ? Qt::Key_Right : Qt::Key_Left);
        key(viewer(), Qt::Key_Space);
        const std::vector<std::string> toggled = drawn();
        const std::string kept = boxes();
        browse(1);
        browse(0);
        EXPECT_EQ(boxes(), kept);
        EXPECT_EQ(drawn(), toggled);
        firstLine();
    }
}

// How long a toggle takes in a file of 10,000 replacements, from the key to the repainted
// pane: set VSR_REVIEW_BENCH to see it (a measurement, not a test of the machine's speed).
TEST_F(ReviewTest, ToggleTimeInALargeFile) {
    if (!std::getenv("VSR_REVIEW_BENCH")) GTEST_SKIP() << "VSR_REVIEW_BENCH is not set";
    std::string big;
    for (int i = 0; i < 2500; ++i) big += "alpha " + std::to_string(i) + " alpha alpha and alpha\n";
    files.write("a.txt", big);
    searched();
    ASSERT_EQ(viewer()->reviewTotal(), 10000u);
    firstLine();
    const int rounds = 20;
    QElapsedTimer timer;
    qint64 worst = 0, total = 0;
    for (int i = 0; i < rounds; ++i) {
        timer.start();
        QTest::keyClick(viewer(), Qt::Key_Space);
        viewer()->viewport()->repaint();
        const qint64 ms = timer.elapsed();
        worst = std::max(worst, ms);
        total += ms;
        QTest::keyClick(viewer(), Qt::Key_Right);
    }
    std::printf("toggle and repaint, 10000 replacements: %.1f ms on average, %lld ms at most\n",
                static_cast<double>(total) / rounds, static_cast<long long>(worst));
    EXPECT_EQ(status(), QStringLiteral("Preview: 9983 of 10003 replacements in 3 files will be written"));
}

// Pictures of the review in a light and a dark palette, for a person to look at: set
// VSR_REVIEW_PICTURES to a folder.
TEST_F(ReviewTest, Pictures) {
    const char* folder = std::getenv("VSR_REVIEW_PICTURES");
    if (!folder) GTEST_SKIP() << "VSR_REVIEW_PICTURES is not set";
    searched();
    w->resize(900, 560);
    firstLine();
    key(viewer(), Qt::Key_Space);
    key(viewer(), Qt::Key_Right);
    settleBrowsing(*w);
    w->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/review-light.png"));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 50));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(50, 50, 55));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(38, 79, 120));
    dark.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    w->setPalette(dark);
    settleBrowsing(*w);
    w->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/review-dark.png"));
}

}  // namespace
}  // namespace vsr::ui::test
