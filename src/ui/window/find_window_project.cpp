// The window as the project commands and the batch driver see it: a project's settings put into
// the controls, the state an incorrect project leaves, and the fields a batch or command line
// fills and reads back.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <filesystem>

#include "ui/window/find_window.h"

namespace vsr::ui {

void TFind::showTab(engine::Tab tab) {
    QWidget* page = tab == engine::Tab::Find ? FindTab : SearchReplaceTab;
    if (PageControl1->currentWidget() != page) PageControl1->setCurrentWidget(page);
}

void TFind::applyProject(const settings::StoredSettings& project) {
    // Block A into the controls, then Hide List on both tabs: loading empties the results.
    const int tab = project.options.nomTab;
    stored_ = project;
    stored_.options.nomTab = 1;
    applyStoredSettings();
    clearEmptyRadioGroups();
    hideListOn(engine::Tab::Find);
    hideListOn(engine::Tab::SearchAndReplace);
    // Then the project's tab, shown as the user would show it.
    stored_.options.nomTab = tab;
    PageControl1->setCurrentWidget(tab == 1 ? FindTab : tab == 2 ? SearchReplaceTab : OptionsTab);
    applyTabShown();
}

void TFind::hideListOn(engine::Tab tab) {
    showTab(tab);
    QPushButton* hide = tab == engine::Tab::Find ? ClearFindBit : ClearSearchBit;
    if (hide->isEnabled() || listHasRows()) ClearListClick();
}

void TFind::clearEmptyRadioGroups() {
    // A project may leave a group with no button chosen; an exclusive group can only show
    // that with its exclusiveness lifted for the moment.
    const settings::MainOptions& o = stored_.options;
    auto clear = [](QButtonGroup* group) {
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons()) b->setChecked(false);
        group->setExclusive(true);
    };
    if (!(o.phraseButton || o.wordsorButton || o.wordsandButton || o.complexButton || o.textButton || o.regExpFind))
        clear(QueryTypeGroup);
    if (!(o.phraseButtonReplace || o.textSearchButton || o.regExpSearch)) clear(SearchTypeGroup);
    if (!(o.noneButton || o.replaceButton || o.replaceSpacesButton || o.insertButton || o.insertAfterButton ||
          o.deleteButton))
        clear(ModificationTypeGroup);
    auto clearGroupOf = [&clear](QAbstractButton* button) {
        if (QButtonGroup* group = button->group()) clear(group);
    };
    if (!o.minimumRadioButton && !o.maximumRadioButton) clearGroupOf(AllLeastRadioButton);
    if (!o.betweenRadioButton && !o.newestRadioButton) clearGroupOf(BetweenRadioButton);
}

void TFind::restoreAfterIncorrectProject() {
    for (QComboBox* combo : {ComboBoxPath, FindEditComboBox, SearchEdit, Edit2, MasksComboBox}) {
        combo->clear();
        combo->setEditText(QString());
    }
    for (QPlainTextEdit* memo : {FindMemo, SearchMemo, Memo2}) memo->clear();
    PageControl1->setCurrentWidget(FindTab);
    loadSettings();
    PageControl1->setCurrentWidget(FindTab);
    applyTabShown();
    showNormal();
}

void TFind::allowHideSearchList() { ClearSearchBit->setEnabled(true); }

void TFind::setRunField(project::RunField field, const std::string& text) {
    switch (field) {
    case project::RunField::SearchEdit: setComboText(SearchEdit, text); break;
    case project::RunField::Edit2: setComboText(Edit2, text); break;
    case project::RunField::SearchMemo: setMemoText(SearchMemo, text); break;
    case project::RunField::Memo2: setMemoText(Memo2, text); break;
    case project::RunField::Path: setComboText(ComboBoxPath, text); break;
    case project::RunField::Masks: setComboText(MasksComboBox, text); break;
    }
}

project::RunFields TFind::runFields() const {
    project::RunFields f;
    f.path = ComboBoxPath->currentText().toStdString();
    f.masks = MasksComboBox->currentText().toStdString();
    f.searchType = searchType();
    if (ModificationTypeGroup->checkedId() >= 0) f.modificationType = modificationType();
    f.searchEdit = SearchEdit->currentText().toStdString();
    f.edit2 = Edit2->currentText().toStdString();
    f.searchMemo = SearchMemo->toPlainText().toStdString();
    f.memo2 = Memo2->toPlainText().toStdString();
    return f;
}

bool TFind::pathIsFolder() const {
    if (ListXPCheckBox->isChecked() && ListXPCheckBox->isEnabled()) return true;
    std::error_code ec;
    return std::filesystem::is_directory(fileSystemName(ComboBoxPath->currentText().trimmed()), ec);
}

}  // namespace vsr::ui
