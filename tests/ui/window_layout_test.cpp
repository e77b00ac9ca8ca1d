// Heights per tab and query view, Whole Words visibility, width rules and the list area.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeView>

#include "ui/widgets/busy_indicator.h"
#include "ui/lines/lines_viewer.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_dialog_set.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

// Client height of the compact window: menu bar, top panel (77) and page control.
int compactHeight(TFind& w, int page96) {
    const Metrics& m = w.metrics();
    return w.menuBar()->sizeHint().height() + m.s(77) + m.s(page96);
}

struct QueryTypeCase {
    const char* button;
    bool multiLine;
};

class FindTabHeights : public WindowTest, public ::testing::WithParamInterface<QueryTypeCase> {};

TEST_P(FindTabHeights, QueryTypeDecidesFieldPageAndWindowHeight) {
    auto w = makeWindow();
    auto* radio = w->findChild<QRadioButton*>(GetParam().button);
    ASSERT_NE(radio, nullptr);
    radio->click();
    const bool multi = GetParam().multiLine;
    EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->height(), multi ? 162 : 126);
    EXPECT_EQ(w->height(), compactHeight(*w, multi ? 162 : 126));
    EXPECT_EQ(w->height() - compactHeight(*w, 126), multi ? 284 - 248 : 0);
    EXPECT_EQ(control<QPlainTextEdit>(w, "FindMemo")->isVisible(), multi);
    EXPECT_EQ(control<QComboBox>(w, "FindEditComboBox")->isVisible(), !multi);
    EXPECT_EQ(control<QCheckBox>(w, "WholeWordsCheckBox")->isVisible(), !multi);
    EXPECT_EQ(control<QPushButton>(w, "FindBit")->y(), multi ? 101 : 65);
    EXPECT_EQ(control<QPushButton>(w, "StopFindBit")->y(), control<QPushButton>(w, "FindBit")->y());
    EXPECT_EQ(control<QPushButton>(w, "ClearFindBit")->y(), control<QPushButton>(w, "FindBit")->y());
    // The fixed height holds: the window can't be stretched while no list is shown.
    EXPECT_EQ(w->minimumHeight(), w->maximumHeight());
}

INSTANTIATE_TEST_SUITE_P(AllTypes, FindTabHeights,
                         ::testing::Values(QueryTypeCase{"PhraseButton", false}, QueryTypeCase{"WordsorButton", false},
                                           QueryTypeCase{"WordsandButton", false},
                                           QueryTypeCase{"AltaVistaButton", false}, QueryTypeCase{"TextButton", true},
                                           QueryTypeCase{"RegExpFind", true}));

TEST_F(WindowTest, MultilineGrowsTheWindowAndPhraseShrinksItBack) {
    auto w = makeWindow();
    const int small = w->height();
    control<QRadioButton>(w, "TextButton")->click();
    EXPECT_EQ(w->height(), small + 36);
    control<QRadioButton>(w, "PhraseButton")->click();
    EXPECT_EQ(w->height(), small);
    EXPECT_TRUE(control<QCheckBox>(w, "WholeWordsCheckBox")->isVisible());
}

TEST_F(WindowTest, EachTabHasItsFixedHeightWithoutAList) {
    auto w = makeWindow();
    const struct {
        QWidget* page;
        int pageHeight;
    } cases[] = {{control<QWidget>(w, "SearchReplaceTab"), 201},
                 {control<QWidget>(w, "OptionsTab"), 301},
                 {control<QWidget>(w, "FindTab"), 126}};
    for (const auto& c : cases) {
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(c.page);
        EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->height(), c.pageHeight) << c.page->objectName().toStdString();
        EXPECT_EQ(w->height(), compactHeight(*w, c.pageHeight)) << c.page->objectName().toStdString();
        EXPECT_FALSE(control<QSplitter>(w, "Splitter1")->isVisible());
        EXPECT_FALSE(w->statusBar()->isVisible());
    }
}

TEST_F(WindowTest, SearchTypeDecidesFieldsAndWholeWordsOnTheSearchTab) {
    auto w = makeWindow();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    const struct {
        QRadioButton* button;
        bool multi;
    } cases[] = {{control<QRadioButton>(w, "TextSearchButton"), true},
                 {control<QRadioButton>(w, "PhraseButtonReplace"), false},
                 {control<QRadioButton>(w, "RegExpSearch"), true}};
    for (const auto& c : cases) {
        c.button->click();
        EXPECT_EQ(control<QPlainTextEdit>(w, "SearchMemo")->isVisible(), c.multi);
        EXPECT_EQ(control<QPlainTextEdit>(w, "Memo2")->isVisible(), c.multi);
        EXPECT_EQ(control<QComboBox>(w, "SearchEdit")->isVisible(), !c.multi);
        EXPECT_EQ(control<QComboBox>(w, "Edit2")->isVisible(), !c.multi);
        EXPECT_EQ(control<QCheckBox>(w, "WholeWordsCheckBox")->isVisible(), !c.multi);
        EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->height(), 201);
    }
}

TEST_F(WindowTest, SizesScaleWithDotsPerInch) {
    auto w = makeWindow(144);
    EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->height(), 126 * 144 / 96);
    EXPECT_EQ(control<QWidget>(w, "Panel1")->height(), 77 * 144 / 96);
    EXPECT_GE(w->width(), 646 * 144 / 96);
    control<QRadioButton>(w, "TextButton")->click();
    EXPECT_EQ(control<QPushButton>(w, "FindBit")->y(), 101 * 144 / 96);
}

TEST_F(WindowTest, WidthRulesFollowTheWindowWidth) {
    auto w = makeWindow();
    for (int width : {646, 800, 1000}) {
        w->resize(width, w->height());
        const int inner = width - 7;
        EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->width(), inner - 198);
        EXPECT_EQ(control<QPushButton>(w, "Button1")->x(), inner - 134);
        EXPECT_EQ(control<BusyIndicator>(w, "Animate1")->x(), inner - 63);
        EXPECT_EQ(control<QComboBox>(w, "FindEditComboBox")->width(), inner - 74);
        EXPECT_EQ(control<QPlainTextEdit>(w, "FindMemo")->width(), inner - 74);
        EXPECT_EQ(control<QComboBox>(w, "SearchEdit")->width(), inner - 111);
        EXPECT_EQ(control<QPlainTextEdit>(w, "Memo2")->width(), inner - 111);
        EXPECT_EQ(control<QWidget>(w, "StopUndoPanel")->x(), inner - 54);
        EXPECT_EQ(statusPanel(w, 0)->width(), 120);
        // Panel 1 grows with the window; it only gives way where the backup note needs room.
        EXPECT_LE(statusPanel(w, 1)->width(), 353 + inner - 651);
        EXPECT_GE(statusPanel(w, 1)->width(), 353 + inner - 651 - 40);
        EXPECT_GE(statusPanel(w, 2)->width(),
                  statusPanel(w, 2)->fontMetrics().horizontalAdvance(QStringLiteral("Search Backup Files: Cannot")));
    }
    // Never narrower than designed.
    w->resize(300, w->height());
    EXPECT_GE(w->width(), 646);
}

TEST_F(WindowTest, TheWindowTakesTheDesktopFontAndGrowsItsLayoutWithIt) {
    const QFont desktop = QApplication::font();
    const struct {
        double points;
        double scale;  // of the designed sizes
    } cases[] = {{9, 1.0}, {13, 13.0 / 9}, {18, 2.0}, {7, 1.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.points);
        QFont font = desktop;
        font.setPointSizeF(c.points);
        QApplication::setFont(font);
        auto w = makeWindow();
        // The main window and its dialogs show the same text size.
        EXPECT_EQ(w->font().pointSizeF(), c.points);
        EXPECT_EQ(control<QComboBox>(w, "FindEditComboBox")->font().pointSizeF(), c.points);
        EXPECT_EQ(w->settingsDialogs().settings().font().pointSizeF(), c.points);
        EXPECT_NEAR(control<QTabWidget>(w, "PageControl1")->height(), 126 * c.scale, 1.0);
        EXPECT_NEAR(control<QWidget>(w, "Panel1")->height(), 77 * c.scale, 1.0);
        EXPECT_NEAR(w->minimumWidth(), 646 * c.scale, 1.0);
        EXPECT_NEAR(control<QPushButton>(w, "FindBit")->y(), 65 * c.scale, 1.0);
        // A first start sizes the window, the list and its columns in the same proportion.
        EXPECT_NEAR(windowEnvironment("", "", nullptr, nullptr).pixelsPerInch, screenDotsPerInch() * c.scale, 1.0);
        // What the proportions are for: the fields and buttons are as tall as their text needs.
        for (QWidget* field : std::initializer_list<QWidget*>{control<QComboBox>(w, "ComboBoxPath"),
                                                              control<QComboBox>(w, "FindEditComboBox"),
                                                              control<QPushButton>(w, "FindBit")})
            EXPECT_GE(field->height(), field->fontMetrics().height() + 4) << field->objectName().toStdString();
        control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("x"));
        search(*w, files.str());
        EXPECT_LT(w->statusBar()->font().pointSizeF(), c.points);
        EXPECT_NEAR(w->statusBar()->font().pointSizeF(), c.points * 8 / 9, 0.01);
    }
    QApplication::setFont(desktop);
}

TEST_F(WindowTest, ResizingKeepsTheTextAndSelectionOfTheFields) {
    auto w = makeWindow();
    control<QComboBox>(w, "ComboBoxPath")->setEditText(QStringLiteral("/some/folder"));
    control<QComboBox>(w, "ComboBoxPath")->lineEdit()->setSelection(1, 4);
    w->resize(900, w->height());
    EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->currentText(), QStringLiteral("/some/folder"));
    EXPECT_EQ(control<QComboBox>(w, "ComboBoxPath")->lineEdit()->selectedText(), QStringLiteral("some"));
}

TEST_F(WindowTest, TheListAppearsWithTheFirstSearchAndHideListRemovesIt) {
    files.write("a.txt", "alpha\n");
    auto w = makeWindow();
    EXPECT_FALSE(control<QSplitter>(w, "Splitter1")->isVisible());
    EXPECT_FALSE(control<QPushButton>(w, "ClearFindBit")->isEnabled());
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 1);
    EXPECT_TRUE(control<QSplitter>(w, "Splitter1")->isVisible());
    EXPECT_TRUE(w->statusBar()->isVisible());
    EXPECT_TRUE(control<QPushButton>(w, "ClearFindBit")->isEnabled());
    // With the list the window may grow, at least to the compact height plus the status strip.
    EXPECT_LT(w->minimumHeight(), w->maximumHeight());
    EXPECT_GE(w->height(), compactHeight(*w, 126) + 17);
    EXPECT_GE(control<QTreeView>(w, "ListView1")->height(), 40);

    control<QPushButton>(w, "ClearFindBit")->click();
    EXPECT_EQ(rows(*w), 0);
    EXPECT_FALSE(control<QSplitter>(w, "Splitter1")->isVisible());
    EXPECT_FALSE(control<QPushButton>(w, "ClearFindBit")->isEnabled());
    EXPECT_EQ(w->height(), compactHeight(*w, 126));
    // The Options tab never shows the list; coming back to Find after Hide List stays compact.
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "OptionsTab"));
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "FindTab"));
    EXPECT_FALSE(control<QSplitter>(w, "Splitter1")->isVisible());
}

TEST_F(WindowTest, SwitchingTabsKeepsTheListOfAnEarlierSearch) {
    files.write("a.txt", "alpha\n");
    auto w = makeWindow();
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "OptionsTab"));
    EXPECT_FALSE(control<QSplitter>(w, "Splitter1")->isVisible());
    EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->height(), 301);
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    EXPECT_TRUE(control<QSplitter>(w, "Splitter1")->isVisible());
    EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->height(), 201);
    EXPECT_EQ(statusPanel(w, 2)->text(), QStringLiteral("Search Backup Files: Cannot"));
    control<QCheckBox>(w, "CreatBackupCheckBox")->setChecked(false);
    EXPECT_EQ(statusPanel(w, 2)->text(), QStringLiteral("Search Backup Files: Can"));
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "FindTab"));
    EXPECT_TRUE(statusPanel(w, 2)->text().isEmpty());
}

TEST_F(WindowTest, BusyIndicatorRunsOnlyWhileStarted) {
    BusyIndicator b;
    EXPECT_FALSE(b.isActive());
    b.start();
    EXPECT_TRUE(b.isActive());
    const int before = b.frame();
    EXPECT_TRUE(QTest::qWaitFor([&] { return b.frame() != before; }));
    b.stop();
    EXPECT_FALSE(b.isActive());
    EXPECT_EQ(b.frame(), 0);
    // At rest it shows nothing at all, not even faint dots.
    b.resize(40, 40);
    QImage picture(b.size(), QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    b.render(&picture, QPoint(), QRegion(), QWidget::RenderFlags());
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) ASSERT_EQ(qAlpha(picture.pixel(x, y)), 0) << x << "," << y;
    b.start();
    picture.fill(Qt::transparent);
    b.render(&picture, QPoint(), QRegion(), QWidget::RenderFlags());
    int drawn = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) drawn += qAlpha(picture.pixel(x, y)) > 0;
    EXPECT_GT(drawn, 0);
}

TEST_F(WindowTest, TheListGrowsWithTheWindow) {
    for (int i = 0; i < 30; ++i) files.write("f" + std::to_string(i) + ".txt", "x\n");
    auto w = makeWindow();
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("x"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 30);
    const int list = control<QTreeView>(w, "ListView1")->height(),
              viewer = control<LinesViewer>(w, "ListBox1")->height();
    w->resize(w->width(), w->height() + 200);
    QCoreApplication::processEvents();
    // Both share what the window gained.
    EXPECT_GE(control<QTreeView>(w, "ListView1")->height(), list + 60);
    EXPECT_GE(control<LinesViewer>(w, "ListBox1")->height(), viewer + 60);
}

TEST_F(WindowTest, TheResultColumnStaysInSightAtTheNarrowestWidth) {
    const std::string deep = "a_folder_with_a_long_name/another_folder_with_a_long_name/a_third_folder";
    files.write(deep + "/a_rather_long_file_name_for_the_results_list.txt", "x\n");
    files.write("short.txt", "x\n");
    auto w = makeWindow();
    ASSERT_EQ(w->width(), 646);
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("x"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 2);
    QHeaderView* header = control<QTreeView>(w, "ListView1")->header();
    const int last = header->count() - 1;
    const int viewport = control<QTreeView>(w, "ListView1")->viewport()->width();
    EXPECT_LE(header->sectionViewportPosition(last) + header->sectionSizeHint(last), viewport);
    EXPECT_LE(header->length(), viewport);  // nothing to scroll to
    // Short columns still show their texts whole.
    for (int section = 2; section < last; ++section) EXPECT_GE(header->sectionSize(section), 40) << section;
    // A column the user sized by dragging its edge keeps its width, whatever it costs the others.
    const int edge = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
    QTest::mouseMove(header->viewport(), QPoint(edge + 60, y));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 60, y));
    const int sized = header->sectionSize(1);
    ASSERT_GT(sized, edge - header->sectionViewportPosition(1) + 30);
    w->ApplicationEvents1Idle();
    search(*w, files.str());
    EXPECT_EQ(header->sectionSize(1), sized);
}

TEST_F(WindowTest, ReplacementLabelsKeepWholeLinesInEveryView) {
    for (int dpi : {96, 144}) {
        auto w = makeWindow(dpi);
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
        QLabel* const labels[] = {control<QLabel>(w, "ReplaceLabel"), control<QLabel>(w, "OrInsertLabel"),
                                  control<QLabel>(w, "ToLabel")};
        for (QRadioButton* type :
             {control<QRadioButton>(w, "TextSearchButton"), control<QRadioButton>(w, "PhraseButtonReplace"),
              control<QRadioButton>(w, "RegExpSearch")}) {
            SCOPED_TRACE(type->text().toStdString() + " at " + std::to_string(dpi));
            type->click();
            for (QLabel* label : labels) {
                // Whole: every label is as high as a line and as wide as its text.
                EXPECT_GE(label->height(), label->fontMetrics().height());
                EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
                EXPECT_LE(label->geometry().right(), control<QComboBox>(w, "Edit2")->x());
            }
            // "Replace" over "or Insert To".
            EXPECT_GT(control<QLabel>(w, "OrInsertLabel")->y(),
                      control<QLabel>(w, "ReplaceLabel")->geometry().bottom());
            EXPECT_EQ(control<QLabel>(w, "ToLabel")->y(), control<QLabel>(w, "OrInsertLabel")->y());
            EXPECT_GT(control<QLabel>(w, "ToLabel")->x(), control<QLabel>(w, "OrInsertLabel")->geometry().right());
            EXPECT_GT(control<QLabel>(w, "ReplaceLabel")->y(), control<QLabel>(w, "SearchLabel")->geometry().bottom());
            EXPECT_LT(control<QLabel>(w, "ToLabel")->geometry().bottom(), control<QWidget>(w, "SearchButtonsRow")->y());
            // The fields share one left edge and keep their designed width.
            EXPECT_EQ(control<QComboBox>(w, "SearchEdit")->x(), control<QComboBox>(w, "Edit2")->x());
            EXPECT_EQ(control<QPlainTextEdit>(w, "SearchMemo")->x(), control<QPlainTextEdit>(w, "Memo2")->x());
        }
    }
}

}  // namespace
}  // namespace vsr::ui::test
