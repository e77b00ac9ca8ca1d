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
        w->PageControl1->setCurrentWidget(w->SearchReplaceTab);
        w->SearchEdit->setEditText(QStringLiteral("alpha"));
        return w;
    }
    std::vector<Command> triggered;
};

TEST_F(ModifyRules, ChoosingReplaceAfterASearchWithNoneEnablesModifyAllAtOnce) {
    auto w = searchWindow();
    w->NoneButton->click();
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 2);
    EXPECT_FALSE(w->ReplaceAllBit->isEnabled());
    EXPECT_FALSE(w->ReplaceSelectedSpeedButton->isEnabled());
    EXPECT_TRUE(w->DeleteItemsBit->isEnabled());
    w->ReplaceButton->click();
    EXPECT_TRUE(w->ReplaceAllBit->isEnabled());
    EXPECT_TRUE(w->ReplaceSelectedSpeedButton->isEnabled());  // row 0 is selected after the run
    EXPECT_TRUE(w->Edit2->isEnabled());
    w->ReplaceAllBit->click();
    EXPECT_EQ(triggered, std::vector<Command>{Command::ModifyAll});
}

TEST_F(ModifyRules, ASearchWithReplaceChosenEnablesTheModifyButtons) {
    auto w = searchWindow();
    w->ReplaceButton->click();
    search(*w, files.str());
    EXPECT_TRUE(w->ReplaceAllBit->isEnabled());
    EXPECT_TRUE(w->ReplaceSelectedSpeedButton->isEnabled());
    // Back to None and to Replace again: still the list of these conditions.
    w->NoneButton->click();
    EXPECT_FALSE(w->ReplaceAllBit->isEnabled());
    EXPECT_FALSE(w->Edit2->isEnabled());
    w->InsertButton->click();
    EXPECT_TRUE(w->ReplaceAllBit->isEnabled());
}

TEST_F(ModifyRules, EditingTheSearchTextForbidsModifyingTheOldList) {
    auto w = searchWindow();
    w->NoneButton->click();
    search(*w, files.str());
    w->SearchEdit->lineEdit()->setFocus();
    QTest::keyClicks(w->SearchEdit->lineEdit(), QStringLiteral("x"));
    EXPECT_TRUE(w->results().tab == results::ListTab::SearchAndReplace);
    w->ReplaceButton->click();
    EXPECT_FALSE(w->ReplaceAllBit->isEnabled());
    EXPECT_FALSE(w->ReplaceSelectedSpeedButton->isEnabled());
    // A new search makes the list modifiable again.
    w->SearchEdit->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    EXPECT_TRUE(w->ReplaceAllBit->isEnabled());
}

TEST_F(ModifyRules, OtherConditionEditsAlsoForbidModifying) {
    auto w = searchWindow();
    w->ReplaceButton->click();
    const std::vector<std::pair<const char*, std::function<void(TFind&)>>> edits = {
        {"case", [](TFind& t) { t.SensitiveCheckBox->click(); }},
        {"whole words", [](TFind& t) { t.WholeWordsCheckBox->click(); }},
        {"search type", [](TFind& t) { t.TextSearchButton->click(); }},
    };
    for (const auto& [name, edit] : edits) {
        w->PhraseButtonReplace->click();
        search(*w, files.str());
        ASSERT_TRUE(w->ReplaceAllBit->isEnabled()) << name;
        edit(*w);
        EXPECT_FALSE(w->ReplaceAllBit->isEnabled()) << name;
        EXPECT_FALSE(w->ReplaceSelectedSpeedButton->isEnabled()) << name;
    }
}

TEST_F(ModifyRules, FindTabSearchNeverEnablesModifying) {
    auto w = searchWindow();
    w->ReplaceButton->click();
    w->PageControl1->setCurrentWidget(w->FindTab);
    w->FindEditComboBox->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 2);
    w->PageControl1->setCurrentWidget(w->SearchReplaceTab);
    EXPECT_FALSE(w->ReplaceAllBit->isEnabled());
    w->NoneButton->click();
    w->ReplaceButton->click();
    EXPECT_FALSE(w->ReplaceAllBit->isEnabled());
}

TEST_F(WindowTest, RegExprDisablesClearAndChoosesNoneInstead) {
    auto w = makeWindow();
    w->PageControl1->setCurrentWidget(w->SearchReplaceTab);
    w->ReplaceSpacesButton->click();
    ASSERT_TRUE(w->ReplaceSpacesButton->isChecked());
    w->RegExpSearch->click();
    EXPECT_FALSE(w->ReplaceSpacesButton->isEnabled());
    EXPECT_TRUE(w->NoneButton->isChecked());
    EXPECT_FALSE(w->Memo2->isEnabled());
    w->TextSearchButton->click();
    EXPECT_TRUE(w->ReplaceSpacesButton->isEnabled());
    EXPECT_TRUE(w->NoneButton->isChecked());  // the switch to None stays
    // Replace while Reg Expr is chosen leaves Clear alone but enables the replacement.
    w->RegExpSearch->click();
    w->ReplaceButton->click();
    EXPECT_TRUE(w->Memo2->isEnabled());
    EXPECT_FALSE(w->ReplaceSpacesButton->isEnabled());
}

TEST_F(WindowTest, ModificationTypeDecidesTheReplacementField) {
    auto w = makeWindow();
    w->PageControl1->setCurrentWidget(w->SearchReplaceTab);
    const struct {
        QRadioButton* button;
        bool takesText;
    } cases[] = {{w->NoneButton, false},   {w->ReplaceButton, true},     {w->ReplaceSpacesButton, false},
                 {w->InsertButton, true},  {w->InsertAfterButton, true}, {w->DeleteButton, false}};
    for (const auto& c : cases) {
        c.button->click();
        EXPECT_EQ(w->Edit2->isEnabled(), c.takesText) << c.button->objectName().toStdString();
        EXPECT_EQ(w->Memo2->isEnabled(), c.takesText);
        EXPECT_EQ(w->ToLabel->isEnabled(), c.takesText);
        EXPECT_EQ(w->OrInsertLabel->isEnabled(), c.takesText);
    }
}

TEST_F(WindowTest, FileSizeAndDateOptionsEnableTheirFields) {
    auto w = makeWindow();
    w->PageControl1->setCurrentWidget(w->OptionsTab);
    w->AllSizeCheckBox->setChecked(false);
    EXPECT_FALSE(w->SizeSpinEdit->isEnabled());
    EXPECT_FALSE(w->SizeLabel->isEnabled());
    w->AllSizeCheckBox->setChecked(true);
    EXPECT_TRUE(w->SizeSpinEdit->isEnabled());
    EXPECT_TRUE(w->KBComboBox->isEnabled());
    EXPECT_TRUE(w->AllLeastRadioButton->isEnabled());

    w->AllDateCheckBox->setChecked(true);
    w->BetweenRadioButton->setChecked(true);
    EXPECT_TRUE(w->MinDateTimePicker->isEnabled());
    EXPECT_FALSE(w->DaysAgoSpinEdit->isEnabled());
    w->NewestRadioButton->setChecked(true);
    EXPECT_FALSE(w->MaxDateTimePicker->isEnabled());
    EXPECT_TRUE(w->DaysAgoSpinEdit->isEnabled());
    EXPECT_TRUE(w->DaysAgoLabel->isEnabled());
    w->AllDateCheckBox->setChecked(false);
    EXPECT_FALSE(w->DaysAgoSpinEdit->isEnabled());
    EXPECT_FALSE(w->NewestRadioButton->isEnabled());

    w->RegExprXPCheckBox->setChecked(true);
    EXPECT_TRUE(w->ModifyXPCheckBox->isEnabled());
    w->ModifyXPCheckBox->setChecked(true);
    w->RegExprXPCheckBox->setChecked(false);
    EXPECT_FALSE(w->ModifyXPCheckBox->isEnabled());
    EXPECT_FALSE(w->ModifyXPCheckBox->isChecked());
}

TEST_F(WindowTest, ZeroSizeOrDaysTurnIntoOneWhenTheWindowGoesIdle) {
    auto w = makeWindow();
    w->PageControl1->setCurrentWidget(w->OptionsTab);
    w->AllDateCheckBox->setChecked(true);
    w->NewestRadioButton->setChecked(true);
    w->DaysAgoSpinEdit->setValue(0);
    w->SizeSpinEdit->setValue(0);
    w->ApplicationEvents1Idle();
    EXPECT_EQ(w->DaysAgoSpinEdit->value(), 1);
    EXPECT_EQ(w->SizeSpinEdit->value(), 1);
    // Typing 0 through the keyboard is corrected by the idle pass that follows the keys.
    w->DaysAgoSpinEdit->setFocus();
    w->DaysAgoSpinEdit->selectAll();
    QTest::keyClicks(w->DaysAgoSpinEdit, QStringLiteral("0"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->DaysAgoSpinEdit->value() == 1; }));
}

TEST_F(WindowTest, CrossedDateLimitsKeepTheOptionsTab) {
    auto w = makeWindow();
    w->PageControl1->setCurrentWidget(w->OptionsTab);
    w->AllDateCheckBox->setChecked(true);
    w->BetweenRadioButton->setChecked(true);
    w->MinDateTimePicker->setDate(QDate(2024, 5, 2));
    w->MaxDateTimePicker->setDate(QDate(2024, 5, 1));
    w->PageControl1->setCurrentWidget(w->FindTab);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Invalid time limits");
    EXPECT_EQ(prompter.messages[0].caption, "Vantix Search & Replace");
    EXPECT_EQ(w->PageControl1->currentWidget(), w->OptionsTab);
    EXPECT_EQ(w->PageControl1->height(), 301);
    // Equal dates are a valid range.
    w->MaxDateTimePicker->setDate(QDate(2024, 5, 2));
    w->PageControl1->setCurrentWidget(w->FindTab);
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(w->PageControl1->currentWidget(), w->FindTab);
}

TEST_F(WindowTest, SearchInResultsTogglesThePathAndEraseBackups) {
    files.write("a.txt", "alpha\n");
    auto w = makeWindow();
    w->commands().setHandler(Command::EraseBackups, [] {});
    w->PageControl1->setCurrentWidget(w->SearchReplaceTab);
    EXPECT_FALSE(w->ListXPCheckBox->isEnabled());
    EXPECT_TRUE(w->commands().enabled(Command::EraseBackups));
    w->SearchEdit->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 1);
    EXPECT_TRUE(w->ListXPCheckBox->isEnabled());
    w->ListXPCheckBox->click();
    EXPECT_FALSE(w->ComboBoxPath->isEnabled());
    EXPECT_FALSE(w->commands().enabled(Command::EraseBackups));
    // Showing the tab again keeps Erase Backups off while searching in results.
    w->PageControl1->setCurrentWidget(w->FindTab);
    w->PageControl1->setCurrentWidget(w->SearchReplaceTab);
    EXPECT_FALSE(w->commands().enabled(Command::EraseBackups));
    // A search in results that finds nothing gives the path back.
    w->SearchEdit->setEditText(QStringLiteral("nowhere"));
    w->FindButtonClick();
    EXPECT_EQ(rows(*w), 0);
    EXPECT_FALSE(w->ListXPCheckBox->isEnabled());
    EXPECT_FALSE(w->ListXPCheckBox->isChecked());
    EXPECT_TRUE(w->ComboBoxPath->isEnabled());
    EXPECT_TRUE(w->commands().enabled(Command::EraseBackups));
    w->ListXPCheckBox->setChecked(false);
}

TEST_F(WindowTest, SearchInResultsSearchesOnlyTheListedFiles) {
    files.write("a.txt", "alpha beta\n");
    files.write("b.txt", "alpha\n");
    files.write("c.txt", "beta\n");
    auto w = makeWindow();
    w->FindEditComboBox->setEditText(QStringLiteral("alpha"));
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 2);
    w->ListXPCheckBox->click();
    w->FindEditComboBox->setEditText(QStringLiteral("beta"));
    w->FindButtonClick();
    ASSERT_EQ(rows(*w), 1);
    EXPECT_EQ(w->results().row(0).name, "a.txt");
}

}  // namespace
}  // namespace vsr::ui::test
