// What the window shows at start from stored values, and what its editable fields keep.
#include <QCompleter>
#include <QAbstractItemView>

#include "settings/key_paths.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

using settings::kOptionsKey;
using settings::kProgramKey;

TEST_F(WindowTest, AStoredPositionIsUsedAsItIsTheTopLeftCornerIncluded) {
    for (const auto& [left, top] : {std::pair{0, 0}, std::pair{37, 0}, std::pair{0, 21}, std::pair{120, 80}}) {
        SCOPED_TRACE(std::to_string(left) + "," + std::to_string(top));
        store.put(kOptionsKey, "FindLeft", std::to_string(left));
        store.put(kOptionsKey, "FindTop", std::to_string(top));
        auto w = makeWindow(96, true);
        EXPECT_EQ(w->pos(), QPoint(left, top));
    }
}

TEST_F(WindowTest, TheFirstIdlePassAppliesTheOptionRulesToStoredValues) {
    store.put(kOptionsKey, "NomTab", "3");
    store.put(kOptionsKey, "AllSizeCheckBox", "1");
    store.put(kOptionsKey, "SizeSpinEdit", "0");
    store.put(kOptionsKey, "AllDateCheckBox", "1");
    store.put(kOptionsKey, "NewestRadioButton", "1");
    store.put(kOptionsKey, "BetweenRadioButton", "0");
    store.put(kOptionsKey, "DaysAgoSpinEdit", "-4");
    for (const char* type : {"TextButton", "RegExpFind"}) {
        SCOPED_TRACE(type);
        store.put(kOptionsKey, "PhraseButton", "0");
        store.put(kOptionsKey, "TextButton", "0");
        store.put(kOptionsKey, "RegExpFind", "0");
        store.put(kOptionsKey, type, "1");
        auto w = makeWindow(96, true);
        ASSERT_TRUE(w->onOptionsTab());
        QTRY_COMPARE(control<QSpinBox>(w, "SizeSpinEdit")->value(), 1);
        QTRY_COMPARE(control<QSpinBox>(w, "DaysAgoSpinEdit")->value(), 1);
        EXPECT_FALSE(control<QCheckBox>(w, "WholeWordsCheckBox")->isVisible());
        w->close();
        EXPECT_EQ(store.readString(kOptionsKey, "SizeSpinEdit"), "1");
        EXPECT_EQ(store.readString(kOptionsKey, "DaysAgoSpinEdit"), "1");
    }
    // A one-line query type keeps "Whole Words" on the Options tab.
    store.put(kOptionsKey, "RegExpFind", "0");
    store.put(kOptionsKey, "WordsorButton", "1");
    auto w = makeWindow(96, true);
    QTRY_COMPARE(control<QSpinBox>(w, "SizeSpinEdit")->value(), 1);
    EXPECT_TRUE(control<QCheckBox>(w, "WholeWordsCheckBox")->isVisible());
}

TEST_F(WindowTest, TypingIntoAHistoryFieldKeepsWhatWasTyped) {
    const char* const histories[] = {"ComboBoxPath", "MasksComboBox", "FindEditComboBox", "SearchEdit", "Edit2"};
    for (const char* name : histories) {
        store.put(kProgramKey, std::string(name) + "CountV", "2");
        store.put(kProgramKey, std::string(name) + "0", "/work/tree2");
        store.put(kProgramKey, std::string(name) + "1", "Alpha");
    }
    auto w = makeWindow(96, true);
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "FindTab"));
    for (const char* name : histories) {
        SCOPED_TRACE(name);
        auto* combo = w->findChild<QComboBox*>(QString::fromLatin1(name));
        ASSERT_NE(combo, nullptr);
        if (std::string(name) == "SearchEdit" || std::string(name) == "Edit2")
            control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
        combo->setFocus();
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), QStringLiteral("/work/tree"));
        EXPECT_EQ(combo->currentText(), QStringLiteral("/work/tree"));
        EXPECT_FALSE(combo->lineEdit()->hasSelectedText());
        // A history entry that differs only in case is another text.
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), QStringLiteral("alpha"));
        EXPECT_EQ(combo->currentText(), QStringLiteral("alpha"));
        if (QCompleter* completer = combo->completer(); completer && completer->popup()->isVisible())
            completer->popup()->hide();
        emit combo->lineEdit()->returnPressed();
        EXPECT_EQ(combo->currentText(), QStringLiteral("alpha"));
    }
}

TEST_F(WindowTest, DeleteItemsCarriesItsHint) {
    auto w = makeWindow();
    EXPECT_EQ(control<QPushButton>(w, "DeleteItemsBit")->toolTip(), QStringLiteral("Delete Selected Items"));
}

}  // namespace
}  // namespace vsr::ui::test
