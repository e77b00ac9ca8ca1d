// The rules that keep the controls consistent with the conditions: the query views of both
// tabs, the modification type, edits after a list was built, the options and the tabs. What
// each rule decides is rules::controlStates; this file gathers its inputs from the controls
// and puts its result into them.
#include <QAbstractButton>
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
#include <QToolButton>
#include <QTreeView>

#include "ui/window/find_window.h"
#include "ui/lines/lines_viewer.h"

namespace vsr::ui {

using engine::ModificationType;
using engine::QueryType;
using engine::SearchType;
using results::ListTab;
using rules::Change;

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

rules::WindowInputs TFind::ruleInputs(Change change) const {
    rules::WindowInputs in;
    in.change = change;
    in.page = onOptionsTab() ? rules::Page::Options
              : activeTab() == engine::Tab::SearchAndReplace ? rules::Page::SearchAndReplace
                                                             : rules::Page::Find;
    in.queryType = queryType();
    in.searchType = searchType();
    in.modificationType = modificationType();
    in.searchInResults = ListXPCheckBox->isChecked();
    in.createBackups = CreatBackupCheckBox->isChecked();
    in.sizeFilter = AllSizeCheckBox->isChecked();
    in.dateFilter = AllDateCheckBox->isChecked();
    in.dateBetween = BetweenRadioButton->isChecked();
    in.eachLine = RegExprXPCheckBox->isChecked();
    in.regExprIntervals = ModifyXPCheckBox->isChecked();
    in.phraseIntervals = PhraseXPCheckBox->isChecked();
    in.busy = state_.busy;
    in.listTab = list_.tab;
    in.listQueryType = state_.listQueryType;
    in.listActive = state_.listActive;
    in.listVisible = listVisible();
    in.listHasRows = listHasRows();
    in.rowSelected = rowSelected();
    in.viewerHasLines = ListBox1->hasLines();
    in.foundColumn = foundColumnExists();
    in.conditionsChanged = run_.conditionsChanged;
    in.modifyPending = state_.modifyPending;
    in.undoWasEnabled = state_.undoWasEnabled;
    in.modifyAllAllowed = commands_.allowed(Command::ModifyAll);
    in.undoAllowed = commands_.allowed(Command::Undo);
    return in;
}

namespace {

void enable(std::initializer_list<QWidget*> widgets, bool on) {
    for (QWidget* w : widgets)
        if (w) w->setEnabled(on);
}

void enableGroup(QButtonGroup* group, bool on) {
    for (QAbstractButton* b : group->buttons()) b->setEnabled(on);
}

int pageHeight96(rules::PageShape shape) {
    switch (shape) {
        case rules::PageShape::FindOneLine: return px::kFindOneLinePage;
        case rules::PageShape::FindMultiLine: return px::kFindMultiLinePage;
        case rules::PageShape::SearchAndReplace: return px::kSearchReplacePage;
        case rules::PageShape::Options: return px::kOptionsPage;
    }
    return px::kFindOneLinePage;
}

}  // namespace

void TFind::applyControlStates(const rules::ControlStates& s, engine::Tab runTab) {
    // Choosing None runs rule C through its button first; the states below have the last word.
    if (s.chooseNone) NoneButton->setChecked(true);
    if (s.regExprIntervalsChecked) ModifyXPCheckBox->setChecked(*s.regExprIntervalsChecked);

    if (s.wholeWordsVisible) WholeWordsCheckBox->setVisible(*s.wholeWordsVisible);
    if (s.findMemoShown) {
        FindEditComboBox->setVisible(!*s.findMemoShown);
        FindMemo->setVisible(*s.findMemoShown);
    }
    if (s.searchMemosShown) {
        for (QWidget* w : std::initializer_list<QWidget*>{SearchEdit, Edit2}) w->setVisible(!*s.searchMemosShown);
        for (QWidget* w : std::initializer_list<QWidget*>{SearchMemo, Memo2}) w->setVisible(*s.searchMemosShown);
    }
    if (s.otherTabHeadersVisible) setTabHeadersVisible(runTab, *s.otherTabHeadersVisible);

    if (s.clearTypeEnabled) ReplaceSpacesButton->setEnabled(*s.clearTypeEnabled);
    if (s.replacementEnabled) enable({Edit2, Memo2}, *s.replacementEnabled);
    if (s.replacementLabelsEnabled) enable({ToLabel, ReplaceLabel, OrInsertLabel}, *s.replacementLabelsEnabled);
    if (s.sizeFilterEnabled)
        enable({AllLeastRadioButton, AllMostRadioButton, SizeSpinEdit, KBComboBox, SizeLabel}, *s.sizeFilterEnabled);
    if (s.dateFilterEnabled)
        enable({BetweenRadioButton, NewestRadioButton, LastModifiedLabel, AndLabel, DaysAgoLabel},
               *s.dateFilterEnabled);
    if (s.datePickersEnabled) enable({MinDateTimePicker, MaxDateTimePicker}, *s.datePickersEnabled);
    if (s.daysEnabled) DaysAgoSpinEdit->setEnabled(*s.daysEnabled);
    if (s.regExprIntervalsEnabled) ModifyXPCheckBox->setEnabled(*s.regExprIntervalsEnabled);
    if (s.pathEnabled) setPathEnabled(*s.pathEnabled);
    if (s.topPanelEnabled)
        enable({MasksComboBox, Button1, PathLabel, MasksLabel, SensitiveCheckBox, WholeWordsCheckBox},
               *s.topPanelEnabled);
    if (s.searchInResultsEnabled) ListXPCheckBox->setEnabled(*s.searchInResultsEnabled);
    if (s.findControlsEnabled) {
        enable({FindBit, FindEditComboBox, FindMemo, TypeLabel, QueryLabel, ArchivesCheckBox}, *s.findControlsEnabled);
        enableGroup(QueryTypeGroup, *s.findControlsEnabled);
    }
    if (s.searchControlsEnabled) {
        enable({SearchSpeedButton, SearchEdit, SearchMemo, SearchLabel}, *s.searchControlsEnabled);
        enableGroup(SearchTypeGroup, *s.searchControlsEnabled);
        enableGroup(ModificationTypeGroup, *s.searchControlsEnabled);
    }
    if (s.clearFindEnabled) ClearFindBit->setEnabled(*s.clearFindEnabled);
    if (s.clearSearchEnabled) ClearSearchBit->setEnabled(*s.clearSearchEnabled);
    if (s.stopFindEnabled) StopFindBit->setEnabled(*s.stopFindEnabled);
    if (s.stopSearchEnabled) StopSearch->setEnabled(*s.stopSearchEnabled);
    // Escape stops a run and is nothing else's then; at rest it stays with the controls.
    if (s.stopKeyLive && stopKey_) stopKey_->setEnabled(*s.stopKeyLive);
    if (s.menusEnabled)
        for (QMenu* menu : {FileMenu, HelpMenu, ProjectMenu, ReportMenu}) menu->menuAction()->setEnabled(*s.menusEnabled);
    if (s.commandsSuspended) commands_.setSuspended(*s.commandsSuspended);

    auto allow = [this](std::initializer_list<Command> commands, const rules::Set& on) {
        if (!on) return;
        for (Command c : commands) commands_.setAllowed(c, *on);
    };
    allow({Command::ModifySelected}, s.modifySelected);
    allow({Command::ModifyAll}, s.modifyAll);
    allow({Command::DeleteItems}, s.deleteItems);
    allow({Command::EraseBackups}, s.eraseBackups);
    allow({Command::SaveList}, s.saveList);
    allow({Command::CreateReport}, s.createReport);
    allow({Command::Undo}, s.undo);
    allow({Command::EditFile, Command::BrowseContext, Command::ExecuteFile}, s.lineCommands);
    allow({Command::SaveLines}, s.saveLines);

    if (s.conditionsChanged) run_.conditionsChanged = *s.conditionsChanged;
    if (s.modifyPending) state_.modifyPending = *s.modifyPending;
    if (s.undoWasEnabled) state_.undoWasEnabled = *s.undoWasEnabled;
    if (s.resetLines) resetLines();
    if (s.statusPanel2) {
        if (s.statusPanel2->empty()) StatusPanel[2]->clear();
        else StatusPanel[2]->setText(QString::fromUtf8(*s.statusPanel2));
    }
    if (s.layout) {
        if (s.layout->withList) setListLayout(pageHeight96(s.layout->shape));
        else setCompactHeight(pageHeight96(s.layout->shape));
    }
    if (s.placeFindControls) placeFindTabControls();
    if (s.placeSearchControls) placeSearchReplaceControls();
    if (s.intervalDisplay)
        list_.RefreshIntervalDisplay(s.intervalDisplay->mode, s.intervalDisplay->inUse, s.intervalDisplay->modifiable);
}

void TFind::followRules(Change change) { applyControlStates(rules::controlStates(ruleInputs(change))); }

// --- shared pieces ---

void TFind::disableLineCommands() {
    rules::ControlStates off;
    off.lineCommands = false;
    off.saveLines = false;
    applyControlStates(off);
}

void TFind::resetLines() {
    ListBox1->clear();
    list_.deselectAll();
    if (ListView1->selectionModel()) ListView1->selectionModel()->clearSelection();
    commands_.setAllowed(Command::DeleteItems, false);
}

void TFind::setEraseBackups(bool on) { commands_.setAllowed(Command::EraseBackups, on); }

void TFind::setPathEnabled(bool on) {
    // A disabled field takes the button-face colour from the disabled palette.
    ComboBoxPath->setEnabled(on);
}

void TFind::enableListCommands(bool withDeleteItems) {
    rules::WindowInputs in = ruleInputs(Change::ListCommands);
    in.withDeleteItems = withDeleteItems;
    applyControlStates(rules::controlStates(in));
}

// --- rules A to E, each after its control ---

void TFind::QueryTypeClick() { followRules(Change::QueryType); }
void TFind::SearchTypeClick() { followRules(Change::SearchType); }
void TFind::ModificationTypeClick() { followRules(Change::ModificationType); }
void TFind::SearchTextChange() { followRules(Change::SearchText); }
void TFind::FindTextChange() { followRules(Change::FindText); }
void TFind::CaseOrWholeWordsClick(bool wholeWords) {
    followRules(wholeWords ? Change::WholeWords : Change::CaseSensitive);
}
void TFind::MultilineOptionClick() { followRules(Change::MultilineOption); }
void TFind::RegExprOptionClick() { followRules(Change::RegExprOption); }
void TFind::OptionsEnableRules() { followRules(Change::Options); }
void TFind::SearchInResultsClick() { followRules(Change::SearchInResults); }

// --- rule F: showing a tab ---

void TFind::PageControl1Changing(int from, int to) {
    if (from != PageControl1->indexOf(OptionsTab) || to == from) return;
    if (MinDateTimePicker->isEnabled() && MinDateTimePicker->date() > MaxDateTimePicker->date()) {
        prompter().messageBox(engine::kProgramTitle, "Invalid time limits", engine::MessageIcon::Exclamation);
        PageControl1->setCurrentWidget(OptionsTab);
    }
}

void TFind::PageControl1Change() { followRules(Change::TabShown); }

void TFind::applyTabShown() { PageControl1Change(); }

void TFind::ReportMenuShow() { followRules(Change::ReportMenu); }

}  // namespace vsr::ui
