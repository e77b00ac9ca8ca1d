// The control-state rules: modification type, edits after a list, options and tabs.
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

// A Search-and-Replace window whose Modify commands are built, so their enabled state
// shows exactly what the rules allow.
class ModifyRules : public WindowTest {
protected:
    std::unique_ptr<TFind> searchWindow() {
        files.write("a.txt", "alpha beta\n");
        files.write("b.txt", "alpha\n");
        auto w = makeWindow();
        for (Command c : {Command::ModifyAll, Command::ModifySelected, Command::DeleteItems})
            w->commands().setHandler(c, [this, c] { triggered.push_back(c); });
        control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
        control<QComboBox>(w, "SearchEdit")->setEditText(QStringLiteral("alpha"));
        return w;
    }
    std::vector<Command> triggered;
};

TEST_F(ModifyRules, ChoosingReplaceAfterASearchWithNoneEnablesModifyAllAtOnce) {
    auto w = searchWindow();
    control<QRadioButton>(w, "NoneButton")->click();
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 2);
    EXPECT_FALSE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(w, "ReplaceSelectedSpeedButton")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(w, "DeleteItemsBit")->isEnabled());
    control<QRadioButton>(w, "ReplaceButton")->click();
    EXPECT_TRUE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(w, "ReplaceSelectedSpeedButton")->isEnabled());  // row 0 is selected after the run
    EXPECT_TRUE(control<QComboBox>(w, "Edit2")->isEnabled());
    control<QPushButton>(w, "ReplaceAllBit")->click();
    EXPECT_EQ(triggered, std::vector<Command>{Command::ModifyAll});
}

TEST_F(ModifyRules, ASearchWithReplaceChosenEnablesTheModifyButtons) {
    auto w = searchWindow();
    control<QRadioButton>(w, "ReplaceButton")->click();
    search(*w, files.str());
    EXPECT_TRUE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(w, "ReplaceSelectedSpeedButton")->isEnabled());
    // Back to None and to Replace again: still the list of these conditions.
    control<QRadioButton>(w, "NoneButton")->click();
    EXPECT_FALSE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled());
    EXPECT_FALSE(control<QComboBox>(w, "Edit2")->isEnabled());
    control<QRadioButton>(w, "InsertButton")->click();
    EXPECT_TRUE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled());
}

TEST_F(ModifyRules, EditingTheSearchTextForbidsModifyingTheOldList) {
    auto w = searchWindow();
    control<QRadioButton>(w, "NoneButton")->click();
    search(*w, files.str());
    control<QComboBox>(w, "SearchEdit")->lineEdit()->setFocus();
    QTest::keyClicks(control<QComboBox>(w, "SearchEdit")->lineEdit(), QStringLiteral("x"));
    EXPECT_TRUE(w->results().tab == results::ListTab::SearchAndReplace);
    control<QRadioButton>(w, "ReplaceButton")->click();
    EXPECT_FALSE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(w, "ReplaceSelectedSpeedButton")->isEnabled());
    // A new search makes the list modifiable again.
    control<QComboBox>(w, "SearchEdit")->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    EXPECT_TRUE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled());
}

TEST_F(ModifyRules, OtherConditionEditsAlsoForbidModifying) {
    auto w = searchWindow();
    control<QRadioButton>(w, "ReplaceButton")->click();
    const std::vector<std::pair<const char*, std::function<void(TFind&)>>> edits = {
        {"case", [](TFind& t) { control<QCheckBox>(t, "SensitiveCheckBox")->click(); }},
        {"whole words", [](TFind& t) { control<QCheckBox>(t, "WholeWordsCheckBox")->click(); }},
        {"search type", [](TFind& t) { control<QRadioButton>(t, "TextSearchButton")->click(); }},
    };
    for (const auto& [name, edit] : edits) {
        control<QRadioButton>(w, "PhraseButtonReplace")->click();
        search(*w, files.str());
        ASSERT_TRUE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled()) << name;
        edit(*w);
        EXPECT_FALSE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled()) << name;
        EXPECT_FALSE(control<QPushButton>(w, "ReplaceSelectedSpeedButton")->isEnabled()) << name;
    }
}

TEST_F(ModifyRules, FindTabSearchNeverEnablesModifying) {
    auto w = searchWindow();
    control<QRadioButton>(w, "ReplaceButton")->click();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "FindTab"));
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 2);
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    EXPECT_FALSE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled());
    control<QRadioButton>(w, "NoneButton")->click();
    control<QRadioButton>(w, "ReplaceButton")->click();
    EXPECT_FALSE(control<QPushButton>(w, "ReplaceAllBit")->isEnabled());
}

TEST_F(WindowTest, RegExprDisablesClearAndChoosesNoneInstead) {
    auto w = makeWindow();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    control<QRadioButton>(w, "ReplaceSpacesButton")->click();
    ASSERT_TRUE(control<QRadioButton>(w, "ReplaceSpacesButton")->isChecked());
    control<QRadioButton>(w, "RegExpSearch")->click();
    EXPECT_FALSE(control<QRadioButton>(w, "ReplaceSpacesButton")->isEnabled());
    EXPECT_TRUE(control<QRadioButton>(w, "NoneButton")->isChecked());
    EXPECT_FALSE(control<QPlainTextEdit>(w, "Memo2")->isEnabled());
    control<QRadioButton>(w, "TextSearchButton")->click();
    EXPECT_TRUE(control<QRadioButton>(w, "ReplaceSpacesButton")->isEnabled());
    EXPECT_TRUE(control<QRadioButton>(w, "NoneButton")->isChecked());  // the switch to None stays
    // Replace while Reg Expr is chosen leaves Clear alone but enables the replacement.
    control<QRadioButton>(w, "RegExpSearch")->click();
    control<QRadioButton>(w, "ReplaceButton")->click();
    EXPECT_TRUE(control<QPlainTextEdit>(w, "Memo2")->isEnabled());
    EXPECT_FALSE(control<QRadioButton>(w, "ReplaceSpacesButton")->isEnabled());
}

TEST_F(WindowTest, ModificationTypeDecidesTheReplacementField) {
    auto w = makeWindow();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    const struct {
        QRadioButton* button;
        bool takesText;
    } cases[] = {
        {control<QRadioButton>(w, "NoneButton"), false},          {control<QRadioButton>(w, "ReplaceButton"), true},
        {control<QRadioButton>(w, "ReplaceSpacesButton"), false}, {control<QRadioButton>(w, "InsertButton"), true},
        {control<QRadioButton>(w, "InsertAfterButton"), true},    {control<QRadioButton>(w, "DeleteButton"), false}};
    for (const auto& c : cases) {
        c.button->click();
        EXPECT_EQ(control<QComboBox>(w, "Edit2")->isEnabled(), c.takesText) << c.button->objectName().toStdString();
        EXPECT_EQ(control<QPlainTextEdit>(w, "Memo2")->isEnabled(), c.takesText);
        EXPECT_EQ(control<QLabel>(w, "ToLabel")->isEnabled(), c.takesText);
        EXPECT_EQ(control<QLabel>(w, "OrInsertLabel")->isEnabled(), c.takesText);
    }
}

TEST_F(WindowTest, FileSizeAndDateOptionsEnableTheirFields) {
    auto w = makeWindow();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "OptionsTab"));
    control<QCheckBox>(w, "AllSizeCheckBox")->setChecked(false);
    EXPECT_FALSE(control<QSpinBox>(w, "SizeSpinEdit")->isEnabled());
    EXPECT_FALSE(control<QLabel>(w, "SizeLabel")->isEnabled());
    control<QCheckBox>(w, "AllSizeCheckBox")->setChecked(true);
    EXPECT_TRUE(control<QSpinBox>(w, "SizeSpinEdit")->isEnabled());
    EXPECT_TRUE(control<QComboBox>(w, "KBComboBox")->isEnabled());
    EXPECT_TRUE(control<QRadioButton>(w, "AllLeastRadioButton")->isEnabled());

    control<QCheckBox>(w, "AllDateCheckBox")->setChecked(true);
    control<QRadioButton>(w, "BetweenRadioButton")->setChecked(true);
    EXPECT_TRUE(control<QDateEdit>(w, "MinDateTimePicker")->isEnabled());
    EXPECT_FALSE(control<QSpinBox>(w, "DaysAgoSpinEdit")->isEnabled());
    control<QRadioButton>(w, "NewestRadioButton")->setChecked(true);
    EXPECT_FALSE(control<QDateEdit>(w, "MaxDateTimePicker")->isEnabled());
    EXPECT_TRUE(control<QSpinBox>(w, "DaysAgoSpinEdit")->isEnabled());
    EXPECT_TRUE(control<QLabel>(w, "DaysAgoLabel")->isEnabled());
    control<QCheckBox>(w, "AllDateCheckBox")->setChecked(false);
    EXPECT_FALSE(control<QSpinBox>(w, "DaysAgoSpinEdit")->isEnabled());
    EXPECT_FALSE(control<QRadioButton>(w, "NewestRadioButton")->isEnabled());

    control<QCheckBox>(w, "RegExprXPCheckBox")->setChecked(true);
    EXPECT_TRUE(control<QCheckBox>(w, "ModifyXPCheckBox")->isEnabled());
    control<QCheckBox>(w, "ModifyXPCheckBox")->setChecked(true);
    control<QCheckBox>(w, "RegExprXPCheckBox")->setChecked(false);
    EXPECT_FALSE(control<QCheckBox>(w, "ModifyXPCheckBox")->isEnabled());
    EXPECT_FALSE(control<QCheckBox>(w, "ModifyXPCheckBox")->isChecked());
}

TEST_F(WindowTest, ZeroSizeOrDaysTurnIntoOneWhenTheWindowGoesIdle) {
    auto w = makeWindow();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "OptionsTab"));
    control<QCheckBox>(w, "AllDateCheckBox")->setChecked(true);
    control<QRadioButton>(w, "NewestRadioButton")->setChecked(true);
    control<QSpinBox>(w, "DaysAgoSpinEdit")->setValue(0);
    control<QSpinBox>(w, "SizeSpinEdit")->setValue(0);
    w->ApplicationEvents1Idle();
    EXPECT_EQ(control<QSpinBox>(w, "DaysAgoSpinEdit")->value(), 1);
    EXPECT_EQ(control<QSpinBox>(w, "SizeSpinEdit")->value(), 1);
    // Typing 0 through the keyboard is corrected by the idle pass that follows the keys.
    control<QSpinBox>(w, "DaysAgoSpinEdit")->setFocus();
    control<QSpinBox>(w, "DaysAgoSpinEdit")->selectAll();
    QTest::keyClicks(control<QSpinBox>(w, "DaysAgoSpinEdit"), QStringLiteral("0"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return control<QSpinBox>(w, "DaysAgoSpinEdit")->value() == 1; }));
}

TEST_F(WindowTest, CrossedDateLimitsKeepTheOptionsTab) {
    auto w = makeWindow();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "OptionsTab"));
    control<QCheckBox>(w, "AllDateCheckBox")->setChecked(true);
    control<QRadioButton>(w, "BetweenRadioButton")->setChecked(true);
    control<QDateEdit>(w, "MinDateTimePicker")->setDate(QDate(2024, 5, 2));
    control<QDateEdit>(w, "MaxDateTimePicker")->setDate(QDate(2024, 5, 1));
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "FindTab"));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Invalid time limits");
    EXPECT_EQ(prompter.messages[0].caption, "Vantix Search & Replace");
    EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->currentWidget(), control<QWidget>(w, "OptionsTab"));
    EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->height(), 301);
    // Equal dates are a valid range.
    control<QDateEdit>(w, "MaxDateTimePicker")->setDate(QDate(2024, 5, 2));
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "FindTab"));
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(control<QTabWidget>(w, "PageControl1")->currentWidget(), control<QWidget>(w, "FindTab"));
}

TEST_F(WindowTest, SearchInResultsTogglesThePathAndEraseBackups) {
    files.write("a.txt", "alpha\n");
    auto w = makeWindow();
    w->commands().setHandler(Command::EraseBackups, [] {});
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    EXPECT_FALSE(control<QCheckBox>(w, "ListXPCheckBox")->isEnabled());
    EXPECT_TRUE(w->commands().enabled(Command::EraseBackups));
    control<QComboBox>(w, "SearchEdit")->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 1);
    EXPECT_TRUE(control<QCheckBox>(w, "ListXPCheckBox")->isEnabled());
    control<QCheckBox>(w, "ListXPCheckBox")->click();
    EXPECT_FALSE(control<QComboBox>(w, "ComboBoxPath")->isEnabled());
    EXPECT_FALSE(w->commands().enabled(Command::EraseBackups));
    // Showing the tab again keeps Erase Backups off while searching in results.
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "FindTab"));
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "SearchReplaceTab"));
    EXPECT_FALSE(w->commands().enabled(Command::EraseBackups));
    // A search in results that finds nothing gives the path back.
    control<QComboBox>(w, "SearchEdit")->setEditText(QStringLiteral("nowhere"));
    w->FindButtonClick();
    EXPECT_EQ(rows(*w), 0);
    EXPECT_FALSE(control<QCheckBox>(w, "ListXPCheckBox")->isEnabled());
    EXPECT_FALSE(control<QCheckBox>(w, "ListXPCheckBox")->isChecked());
    EXPECT_TRUE(control<QComboBox>(w, "ComboBoxPath")->isEnabled());
    EXPECT_TRUE(w->commands().enabled(Command::EraseBackups));
    control<QCheckBox>(w, "ListXPCheckBox")->setChecked(false);
}

TEST_F(WindowTest, SearchInResultsSearchesOnlyTheListedFiles) {
    files.write("a.txt", "alpha beta\n");
    files.write("b.txt", "alpha\n");
    files.write("c.txt", "beta\n");
    auto w = makeWindow();
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 2);
    control<QCheckBox>(w, "ListXPCheckBox")->click();
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("beta"));
    w->FindButtonClick();
    ASSERT_EQ(rows(*w), 1);
    EXPECT_EQ(w->results().row(0).name, "a.txt");
}

}  // namespace
}  // namespace vsr::ui::test
