// The rules that keep the controls consistent with the conditions: the query views of both
// tabs, the modification type, edits after a list was built, the options and the tabs.
#include <QButtonGroup>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeView>

#include "ui/window/find_window.h"
#include "ui/lines/lines_viewer.h"

namespace vsr::ui {

using engine::ModificationType;
using engine::QueryType;
using engine::SearchType;
using results::ListTab;

// --- what the rules read ---

QueryView TFind::findQueryView() const {
    const QueryType t = queryType();
    return t == QueryType::Multiline || t == QueryType::RegExpr ? QueryView::MultiLine : QueryView::OneLine;
}

QueryView TFind::searchQueryView() const {
    return searchType() == SearchType::Phrase ? QueryView::OneLine : QueryView::MultiLine;
}

QueryType TFind::queryType() const {
    const int id = QueryTypeGroup->checkedId();
    return id < 0 ? QueryType::Phrase : static_cast<QueryType>(id);
}

SearchType TFind::searchType() const {
    const int id = SearchTypeGroup->checkedId();
    return id < 0 ? SearchType::Phrase : static_cast<SearchType>(id);
}

ModificationType TFind::modificationType() const {
    const int id = ModificationTypeGroup->checkedId();
    return id < 0 ? ModificationType::None : static_cast<ModificationType>(id);
}

bool TFind::rowSelected() const { return list_.firstSelected() >= 0; }

engine::Tab TFind::activeTab() const {
    return PageControl1->currentWidget() == SearchReplaceTab ? engine::Tab::SearchAndReplace : engine::Tab::Find;
}

bool TFind::onOptionsTab() const { return PageControl1->currentWidget() == OptionsTab; }

bool TFind::intervalsInUse() const {
    const SearchType t = searchType();
    return (t == SearchType::Phrase && PhraseXPCheckBox->isChecked()) ||
           (t == SearchType::RegExpr && RegExprXPCheckBox->isChecked() && ModifyXPCheckBox->isChecked());
}

// --- shared pieces ---

void TFind::disableLineCommands() {
    for (Command c : {Command::EditFile, Command::BrowseContext, Command::SaveLines, Command::ExecuteFile})
        commands_.setAllowed(c, false);
}

void TFind::resetLines() {
    ListBox1->clear();
    list_.deselectAll();
    if (ListView1->selectionModel()) ListView1->selectionModel()->clearSelection();
    commands_.setAllowed(Command::DeleteItems, false);
}

void TFind::setModifyButtons(bool selected, bool all) {
    commands_.setAllowed(Command::ModifySelected, selected);
    commands_.setAllowed(Command::ModifyAll, all);
}

void TFind::setEraseBackups(bool on) { commands_.setAllowed(Command::EraseBackups, on); }

void TFind::setPathEnabled(bool on) {
    // A disabled field takes the button-face colour from the disabled palette.
    ComboBoxPath->setEnabled(on);
}

void TFind::refreshIntervalDisplay(int mode) {
    const bool modifiable = (list_.tab == ListTab::SearchAndReplace && !run_.conditionsChanged) ||
                            commands_.allowed(Command::ModifyAll);
    list_.RefreshIntervalDisplay(mode, intervalsInUse(), modifiable);
}

void TFind::enableListCommands(bool withDeleteItems) {
    if (!listHasRows()) return;
    commands_.setAllowed(Command::SaveList, true);
    if (!rowSelected()) return;
    for (Command c : {Command::EditFile, Command::BrowseContext, Command::ExecuteFile})
        commands_.setAllowed(c, true);
    if (ListBox1->hasLines()) commands_.setAllowed(Command::SaveLines, true);
    if (withDeleteItems) commands_.setAllowed(Command::DeleteItems, true);
}

// --- rule A: query type of the Find tab ---

void TFind::QueryTypeClick() {
    const bool multi = findQueryView() == QueryView::MultiLine;
    if (!onOptionsTab() && activeTab() == engine::Tab::Find) WholeWordsCheckBox->setVisible(!multi);
    FindEditComboBox->setVisible(!multi);
    FindMemo->setVisible(multi);
    if (activeTab() == engine::Tab::Find && !onOptionsTab()) {
        const int page = multi ? px::kFindMultiLinePage : px::kFindOneLinePage;
        if (listVisible()) setListLayout(page);
        else setCompactHeight(page);
    }
    placeFindTabControls();
    if (listHasRows() && rowSelected() && list_.tab == ListTab::Find && foundColumnExists()) {
        disableLineCommands();
        resetLines();
    }
}

// --- rule B: search type of the Search and Replace tab ---

void TFind::SearchTypeClick() {
    const SearchType t = searchType();
    const bool multi = t != SearchType::Phrase;
    if (activeTab() == engine::Tab::SearchAndReplace && !onOptionsTab()) WholeWordsCheckBox->setVisible(!multi);
    SearchEdit->setVisible(!multi);
    Edit2->setVisible(!multi);
    SearchMemo->setVisible(multi);
    Memo2->setVisible(multi);
    // Clearing a regular expression's matches has no meaning of its own; None stands in.
    ReplaceSpacesButton->setEnabled(t != SearchType::RegExpr);
    if (t == SearchType::RegExpr && ReplaceSpacesButton->isChecked()) {
        NoneButton->setChecked(true);
        ModificationTypeClick();
    }
    run_.conditionsChanged = true;
    state_.modifyPending = false;
    setModifyButtons(false, false);
    if (listHasRows() && rowSelected() && list_.tab == ListTab::SearchAndReplace && foundColumnExists()) {
        disableLineCommands();
        resetLines();
    }
    if (listHasRows()) refreshIntervalDisplay(2);
    placeSearchReplaceControls();
}

// --- rule C: modification type ---

void TFind::ModificationTypeClick() {
    const ModificationType m = modificationType();
    const bool takesText =
        m == ModificationType::Replace || m == ModificationType::InsertBefore || m == ModificationType::InsertAfter;
    Edit2->setEnabled(takesText && !state_.busy);
    Memo2->setEnabled(takesText && !state_.busy);
    for (QLabel* l : {ToLabel, ReplaceLabel, OrInsertLabel}) l->setEnabled(takesText);
    if (m == ModificationType::None) {
        const bool allWasEnabled = commands_.allowed(Command::ModifyAll);
        setModifyButtons(false, false);
        if (allWasEnabled) state_.modifyPending = true;
    } else if (listHasRows() && state_.modifyPending && !run_.conditionsChanged) {
        setModifyButtons(rowSelected(), true);
        state_.modifyPending = false;
    }
}

// --- rule D: edits that change the conditions after a list was built ---

void TFind::SearchTextChange() {
    run_.conditionsChanged = true;
    setModifyButtons(false, false);
    state_.modifyPending = false;
    if (listHasRows() && rowSelected() && list_.tab == ListTab::SearchAndReplace && foundColumnExists()) {
        disableLineCommands();
        resetLines();
    }
    if (!onOptionsTab() && activeTab() == engine::Tab::SearchAndReplace && listHasRows()) refreshIntervalDisplay(2);
}

void TFind::FindTextChange() {
    if (listHasRows() && rowSelected() && list_.tab == ListTab::Find && foundColumnExists()) {
        run_.conditionsChanged = true;
        disableLineCommands();
        resetLines();
    }
}

void TFind::CaseOrWholeWordsClick(bool wholeWords) {
    if (wholeWords) {
        // Whole Words only matters when the run's own tab shows its one-line field.
        const bool oneLine = (list_.tab == ListTab::Find && findQueryView() == QueryView::OneLine) ||
                             (list_.tab == ListTab::SearchAndReplace && searchQueryView() == QueryView::OneLine);
        if (!oneLine) return;
    }
    run_.conditionsChanged = true;
    setModifyButtons(false, false);
    if (listHasRows() && rowSelected() && foundColumnExists()) {
        disableLineCommands();
        resetLines();
    }
    if (!onOptionsTab() && activeTab() == engine::Tab::SearchAndReplace && listHasRows()) refreshIntervalDisplay(2);
}

void TFind::MultilineOptionClick() {
    if (state_.listQueryType != QueryType::Multiline || !foundColumnExists()) return;
    run_.conditionsChanged = true;
    setModifyButtons(false, false);
    disableLineCommands();
    if (ListBox1->hasLines()) resetLines();
}

void TFind::RegExprOptionClick() {
    if (state_.listQueryType != QueryType::RegExpr || !foundColumnExists()) return;
    run_.conditionsChanged = true;
    setModifyButtons(false, false);
    disableLineCommands();
    if (listHasRows()) resetLines();
}

// --- rule E: options ---

void TFind::OptionsEnableRules() {
    const bool size = AllSizeCheckBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{AllLeastRadioButton, AllMostRadioButton, SizeSpinEdit,
                                                       KBComboBox, SizeLabel})
        w->setEnabled(size);
    const bool date = AllDateCheckBox->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{BetweenRadioButton, NewestRadioButton, LastModifiedLabel,
                                                       AndLabel, DaysAgoLabel})
        w->setEnabled(date);
    const bool between = BetweenRadioButton->isChecked();
    MinDateTimePicker->setEnabled(date && between);
    MaxDateTimePicker->setEnabled(date && between);
    DaysAgoSpinEdit->setEnabled(date && !between);
    if (!RegExprXPCheckBox->isChecked()) ModifyXPCheckBox->setChecked(false);
    ModifyXPCheckBox->setEnabled(RegExprXPCheckBox->isChecked());
}

void TFind::SearchInResultsClick() {
    if (ListXPCheckBox->isChecked()) {
        setPathEnabled(false);
        setEraseBackups(false);
    } else {
        setPathEnabled(true);
        if (!onOptionsTab() && activeTab() == engine::Tab::SearchAndReplace) setEraseBackups(true);
    }
}

// --- rule F: showing a tab ---

void TFind::PageControl1Changing(int from, int to) {
    if (from != PageControl1->indexOf(OptionsTab) || to == from) return;
    if (MinDateTimePicker->isEnabled() && MinDateTimePicker->date() > MaxDateTimePicker->date()) {
        prompter().messageBox(engine::kProgramTitle, "Invalid time limits", engine::MessageIcon::Exclamation);
        PageControl1->setCurrentWidget(OptionsTab);
    }
}

void TFind::PageControl1Change() {
    QWidget* page = PageControl1->currentWidget();
    if (page == FindTab) {
        const bool multi = findQueryView() == QueryView::MultiLine;
        WholeWordsCheckBox->setVisible(!multi);
        if (listHasRows() && rowSelected() && list_.tab == ListTab::SearchAndReplace && foundColumnExists()) {
            disableLineCommands();
            resetLines();
        }
        commands_.setAllowed(Command::ModifySelected, false);
        setEraseBackups(false);
        StatusPanel[2]->clear();
        const int pageHeight = multi ? px::kFindMultiLinePage : px::kFindOneLinePage;
        if (state_.listActive) {
            setListLayout(pageHeight);
            ClearFindBit->setEnabled(listVisible() && !state_.busy);
            enableListCommands(false);
        } else {
            setCompactHeight(pageHeight);
            disableLineCommands();
            ClearFindBit->setEnabled(false);
            commands_.setAllowed(Command::SaveList, false);
        }
        placeFindTabControls();
        if (listHasRows()) refreshIntervalDisplay(1);
    } else if (page == SearchReplaceTab) {
        WholeWordsCheckBox->setVisible(searchQueryView() == QueryView::OneLine);
        if (listHasRows() && rowSelected() && list_.tab == ListTab::Find && foundColumnExists()) {
            disableLineCommands();
            resetLines();
        }
        setEraseBackups(!ListXPCheckBox->isChecked());
        StatusPanel[2]->setText(CreatBackupCheckBox->isChecked() ? QStringLiteral("Search Backup Files: Cannot")
                                                                 : QStringLiteral("Search Backup Files: Can"));
        if (state_.listActive) {
            setListLayout(px::kSearchReplacePage);
            ClearSearchBit->setEnabled(listVisible() && !state_.busy);
            enableListCommands(true);
        } else {
            state_.modifyPending = false;
            setCompactHeight(px::kSearchReplacePage);
            disableLineCommands();
            commands_.setAllowed(Command::SaveList, false);
        }
        placeSearchReplaceControls();
        if (listHasRows()) refreshIntervalDisplay(2);
    } else {
        setEraseBackups(false);
        setCompactHeight(px::kOptionsPage);
        disableLineCommands();
        commands_.setAllowed(Command::SaveList, false);
    }
}

void TFind::applyTabShown() { PageControl1Change(); }

void TFind::ReportMenuShow() { commands_.setAllowed(Command::CreateReport, !onOptionsTab()); }

}  // namespace vsr::ui
