// Moving the focus through the query fields keeps the list's state; only a change of the text
// counts as a change of the conditions.
#include "ui/lines/lines_viewer.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

struct QueryField {
    const char* name;
    bool searchTab;
    friend void PrintTo(const QueryField& f, std::ostream* os) { *os << f.name; }
};

class QueryFocus : public WindowTest, public ::testing::WithParamInterface<QueryField> {
protected:
    QComboBox* field(TFind& w) const {
        return GetParam().searchTab ? control<QComboBox>(w, "SearchEdit") : control<QComboBox>(w, "FindEditComboBox");
    }

    // A list of two rows from the parameter's tab, the first row selected and browsed, and the
    // field's history holding "other" (current) and "alpha" while the field shows "alpha": the
    // state in which leaving the field makes an editable combo box report an activation.
    std::unique_ptr<TFind> listed() {
        files.write("a.txt", "alpha beta\n");
        files.write("b.txt", "alpha\n");
        auto w = makeWindow();
        if (GetParam().searchTab) {
            control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
            control<QRadioButton>(w, "ReplaceButton")->click();
        }
        QComboBox* combo = field(*w);
        combo->setEditText(QStringLiteral("alpha"));
        search(*w, files.str());
        settleBrowsing(*w);
        {
            const QSignalBlocker quiet(combo), quietEdit(combo->lineEdit());
            combo->insertItem(0, QStringLiteral("other"));
            combo->setCurrentIndex(0);
            combo->setEditText(QStringLiteral("alpha"));
        }
        return w;
    }

    static void expectListKept(TFind& w, bool searchTab) {
        EXPECT_EQ(w.results().selectedCount(), 1u);
        EXPECT_TRUE(control<LinesViewer>(w, "ListBox1")->hasLines());
        EXPECT_TRUE(control<QToolButton>(w, "FileEditSpeed")->isEnabled());
        EXPECT_TRUE(control<QToolButton>(w, "GotoSpeedButton")->isEnabled());
        if (searchTab) {
            EXPECT_TRUE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled());
            EXPECT_TRUE(control<QPushButton>(w, "ReplaceSelectedSpeedButton")->isEnabled());
        }
    }
};

TEST_P(QueryFocus, PassingThroughTheFieldKeepsTheListAndItsCommands) {
    auto w = listed();
    expectListKept(*w, GetParam().searchTab);
    QComboBox* combo = field(*w);
    // In and out by Tab, then in by a click and out to the Path box, typing nothing.
    combo->lineEdit()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->lineEdit()->hasFocus(); }));
    QTest::keyClick(combo->lineEdit(), Qt::Key_Tab);
    ASSERT_FALSE(combo->lineEdit()->hasFocus());
    QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
    ASSERT_TRUE(combo->lineEdit()->hasFocus());
    control<QComboBox>(w, "ComboBoxPath")->setFocus(Qt::MouseFocusReason);
    settleBrowsing(*w);
    EXPECT_EQ(combo->currentText(), QStringLiteral("alpha"));
    expectListKept(*w, GetParam().searchTab);
}

TEST_P(QueryFocus, ChoosingAnotherHistoryEntryIsAChange) {
    auto w = listed();
    QComboBox* combo = field(*w);
    {
        const QSignalBlocker quiet(combo), quietEdit(combo->lineEdit());
        combo->setCurrentIndex(1);
    }
    ASSERT_EQ(combo->currentText(), QStringLiteral("alpha"));
    combo->setFocus();
    // Up picks the history entry above, as the drop-down list does.
    QTest::keyClick(combo, Qt::Key_Up);
    ASSERT_NE(combo->currentText(), QStringLiteral("alpha"));
    settleBrowsing(*w);
    EXPECT_FALSE(control<LinesViewer>(w, "ListBox1")->hasLines());
    EXPECT_FALSE(control<QToolButton>(w, "FileEditSpeed")->isEnabled());
    if (GetParam().searchTab) {
        EXPECT_FALSE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled());
    }
}

TEST_P(QueryFocus, TypingIsAChange) {
    auto w = listed();
    QComboBox* combo = field(*w);
    combo->lineEdit()->setFocus();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("x"));
    settleBrowsing(*w);
    EXPECT_FALSE(control<LinesViewer>(w, "ListBox1")->hasLines());
    if (GetParam().searchTab) {
        EXPECT_FALSE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled());
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, QueryFocus,
                         ::testing::Values(QueryField{"Query", false}, QueryField{"Search", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vsr::ui::test
