// The window's controls to and from the stored settings records, loaded when the window is
// created and saved when it closes, with the window's geometry and column widths.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

#include "ui/window/find_window.h"
#include "settings/first_start.h"
#include "ui/list/results_model.h"
#include "ui/widgets/screen_fit.h"
#include "ui/dialogs/settings_dialog_set.h"
#include "ui/window/window_environment.h"

namespace vsr::ui {

namespace {

const QDate kDayZero(1899, 12, 30);

QDate fromDayNumber(int n) { return kDayZero.addDays(n); }
int toDayNumber(const QDate& d) { return static_cast<int>(kDayZero.daysTo(d)); }

// How a history list is kept: typed texts in the chosen encoding, names and masks as the
// file system has them.
struct HistoryText {
    const TypedText* typed;  // null for names

    QString field(const std::string& bytes) const { return typed ? typed->field(bytes) : fileSystemName(bytes); }
    std::string kept(const QString& text) const { return typed ? typed->kept(text) : fileSystemName(text); }
};

void fillHistory(QComboBox* combo, const settings::HistoryList& h, HistoryText as) {
    combo->clear();
    for (const std::string& item : h.items) combo->addItem(as.field(item));
    combo->setCurrentIndex(-1);
    combo->setEditText(as.field(h.text));
}

settings::HistoryList history(const QComboBox* combo, HistoryText as) {
    settings::HistoryList h;
    h.text = as.kept(combo->currentText());
    for (int i = 0; i < combo->count(); ++i) h.items.push_back(as.kept(combo->itemText(i)));
    return h;
}

int* columnWidthField(settings::MainOptions& o, results::Column c) {
    switch (c) {
    case results::Column::Name: return &o.columnName;
    case results::Column::Path: return &o.columnPath;
    case results::Column::Found: return &o.columnFound;
    case results::Column::Attributes: return &o.columnAttributes;
    case results::Column::Time: return &o.columnTime;
    case results::Column::Size: return &o.columnSize;
    case results::Column::Type: return &o.columnType;
    case results::Column::Result: return &o.columnResult;
    }
    return nullptr;
}

}  // namespace

void TFind::loadSettings() {
    if (services_.settings) {
        services_.settings->LoadSettings(stored_, true);
    } else {
        // Without a store the first-start values apply, as for a new user.
        settings::StoredSettings fresh = settings::firstStartSettings(
            windowEnvironment(services_.homeFolder, std::string(), services_.formats, services_.clock));
        stored_ = fresh;
    }
    applyStoredSettings();
}

void TFind::applyStoredSettings() {
    const settings::StoredSettings& s = stored_;
    const settings::MainOptions& o = s.options;
    const bool wasComposing = composing_;
    composing_ = true;
    updatingFields_ = true;
    // The texts were kept in the encoding of the settings being applied.
    const TypedText typed = typedText();
    const HistoryText names{nullptr}, texts{&typed};
    fillHistory(ComboBoxPath, s.history.comboBoxPath, names);
    fillHistory(FindEditComboBox, s.history.findEditComboBox, texts);
    fillHistory(SearchEdit, s.history.searchEdit, texts);
    fillHistory(Edit2, s.history.edit2, texts);
    fillHistory(MasksComboBox, s.history.masksComboBox, names);
    FindMemo->setPlainText(typed.field(s.memos.findMemo));
    SearchMemo->setPlainText(typed.field(s.memos.searchMemo));
    Memo2->setPlainText(typed.field(s.memos.memo2));

    SensitiveCheckBox->setChecked(o.sensitiveCheckBox);
    ArchivesCheckBox->setChecked(o.archivesCheckBox);
    WholeWordsCheckBox->setChecked(o.wholeWordsCheckBox);
    const std::pair<bool, QRadioButton*> queryTypes[] = {{o.phraseButton, PhraseButton},
                                                         {o.wordsorButton, WordsorButton},
                                                         {o.wordsandButton, WordsandButton},
                                                         {o.complexButton, AltaVistaButton},
                                                         {o.textButton, TextButton},
                                                         {o.regExpFind, RegExpFind}};
    for (auto [on, button] : queryTypes)
        if (on) button->setChecked(true);
    const std::pair<bool, QRadioButton*> searchTypes[] = {
        {o.phraseButtonReplace, PhraseButtonReplace}, {o.textSearchButton, TextSearchButton}, {o.regExpSearch, RegExpSearch}};
    for (auto [on, button] : searchTypes)
        if (on) button->setChecked(true);
    const std::pair<bool, QRadioButton*> modificationTypes[] = {
        {o.noneButton, NoneButton},           {o.replaceButton, ReplaceButton},
        {o.replaceSpacesButton, ReplaceSpacesButton}, {o.insertButton, InsertButton},
        {o.insertAfterButton, InsertAfterButton},     {o.deleteButton, DeleteButton}};
    for (auto [on, button] : modificationTypes)
        if (on) button->setChecked(true);
    CreatBackupCheckBox->setChecked(o.creatBackupCheckBox);
    PreviewCheckBox->setChecked(o.previewCheckBox);
    PhraseXPCheckBox->setChecked(o.phraseXPCheckBox);
    RegExprXPCheckBox->setChecked(o.regExprXPCheckBox);
    ModifyXPCheckBox->setChecked(o.modifyXPCheckBox && o.regExprXPCheckBox);
    TrimLeftCheckBox->setChecked(o.trimLeftCheckBox);
    TrimRightCheckBox->setChecked(o.trimRightCheckBox);
    ExpPointCheckBox->setChecked(o.expPointCheckBox);
    ExpSpaceCheckBox->setChecked(o.expSpaceCheckBox);
    IncludeSubdirectoriesCheckBox->setChecked(o.includeSubdirectoriesCheckBox);
    AllSizeCheckBox->setChecked(o.allSizeCheckBox);
    AllDateCheckBox->setChecked(o.allDateCheckBox);
    (o.minimumRadioButton ? AllLeastRadioButton : AllMostRadioButton)->setChecked(true);
    (o.newestRadioButton ? NewestRadioButton : BetweenRadioButton)->setChecked(true);
    SizeSpinEdit->setValue(o.sizeSpinEdit);
    KBComboBox->setCurrentIndex(o.kbComboBox == 1 ? 1 : 0);
    MinDateTimePicker->setDate(fromDayNumber(o.minDateTimePicker));
    MaxDateTimePicker->setDate(fromDayNumber(o.maxDateTimePicker));
    DaysAgoSpinEdit->setValue(o.daysAgoSpinEdit);
    updatingFields_ = false;

    // Geometry: the stored normal bounds; the height is the one with the list shown. They are
    // brought onto the screen the position names, with room for the window's frame.
    const QPoint stored(o.findLeft, o.findTop);
    const QRect screen = screenAreaAt(stored + QPoint(metrics_.s(40), metrics_.s(10)));
    const QRect room = windowRoomAt(stored + QPoint(metrics_.s(40), metrics_.s(10)), metrics_);
    const QSize least(metrics_.s(px::kMinWindowWidth), metrics_.s(px::kFindOneLineListMin - px::kFrameAllowance));
    QPoint at = stored;
    // A stored position is used as it is, (0, 0) too; only one off every screen is centred.
    const QSize wanted(std::max(o.findWidth, least.width()), std::max(o.findHeight, least.height()));
    const QSize size = fitToScreen(room.topLeft(), wanted, room, least).size();
    if (!screen.contains(at + QPoint(metrics_.s(40), metrics_.s(10))))
        at = QPoint(screen.x() + (screen.width() - size.width()) / 2,
                    screen.y() + (screen.height() - size.height() - metrics_.s(24)) / 2);
    const QRect fitted = fitToScreen(at, wanted, room, least);
    state_.normalHeight = fitted.height();
    // The list leaves the Lines Viewer its least height below it.
    const int listRoom = fitted.height() - windowHeightFor(px::kFindOneLinePage) -
                         metrics_.s(px::kStatusBarHeight + px::kSplitterWidth + 20);
    state_.listHeight = std::clamp(o.findListViewHeight, metrics_.s(px::kMinListHeight),
                                   std::max(metrics_.s(px::kMinListHeight), listRoom));
    resize(fitted.width(), height());
    move(fitted.topLeft());
    // What goes back to the store is what the screen showed, also when the list never appears.
    settings::MainOptions& shown = stored_.options;
    shown.findWidth = fitted.width();
    shown.findHeight = fitted.height();
    shown.findLeft = fitted.x();
    shown.findTop = fitted.y();
    shown.findListViewHeight = state_.listHeight;
    state_.maximizedAtStart = o.maxFind;
    const int tab = o.nomTab == 1 ? 0 : o.nomTab == 2 ? 1 : 2;
    PageControl1->setCurrentIndex(tab);
    lastTab_ = tab;
    composing_ = wasComposing;

    OptionsEnableRules();
    QueryTypeClick();
    SearchTypeClick();
    ModificationTypeClick();
    run_.conditionsChanged = false;
    state_.modifyPending = false;
    applyColumnWidths();
}

void TFind::applyColumnWidths() {
    if (!model_) return;
    settings::MainOptions& o = stored_.options;
    for (int section = 0; section < model_->columnCount(); ++section) {
        if (int* w = columnWidthField(o, model_->columnAt(section)); w && *w > 0) {
            const QScopedValueRollback<bool> own(resizingColumns_, true);
            // A stored width wider than the screen would push every other column out of reach.
            *w = std::min(*w, screenAreaAt(geometry().center()).width());
            ListView1->header()->resizeSection(section, *w);
        }
    }
}

void TFind::rememberColumnWidths() {
    if (!model_ || !listHasRows()) return;
    settings::MainOptions& o = stored_.options;
    for (int section = 0; section < model_->columnCount(); ++section) {
        const int w = ListView1->header()->sectionSize(section);
        if (int* field = columnWidthField(o, model_->columnAt(section)); field && w > 0) *field = w;
    }
}

void TFind::rememberGeometry() {
    rememberColumnWidths();
    if (windowState() != Qt::WindowNoState || !listVisible()) return;
    settings::MainOptions& o = stored_.options;
    o.findWidth = width();
    o.findHeight = height();
    o.findLeft = x();
    o.findTop = y();
    if (ListView1->height() > 0) o.findListViewHeight = ListView1->height();
}

void TFind::collectStoredSettings() {
    settings::StoredSettings& s = stored_;
    settings::MainOptions& o = s.options;
    // The texts are kept in the encoding stored beside them.
    const TypedText typed = typedText();
    const HistoryText names{nullptr}, texts{&typed};
    s.history.comboBoxPath = history(ComboBoxPath, names);
    s.history.findEditComboBox = history(FindEditComboBox, texts);
    s.history.searchEdit = history(SearchEdit, texts);
    s.history.edit2 = history(Edit2, texts);
    s.history.masksComboBox = history(MasksComboBox, names);
    s.memos.findMemo = typed.kept(FindMemo->toPlainText());
    s.memos.searchMemo = typed.kept(SearchMemo->toPlainText());
    s.memos.memo2 = typed.kept(Memo2->toPlainText());

    o.sensitiveCheckBox = SensitiveCheckBox->isChecked();
    o.archivesCheckBox = ArchivesCheckBox->isChecked();
    o.wholeWordsCheckBox = WholeWordsCheckBox->isChecked();
    o.phraseButton = PhraseButton->isChecked();
    o.wordsorButton = WordsorButton->isChecked();
    o.wordsandButton = WordsandButton->isChecked();
    o.complexButton = AltaVistaButton->isChecked();
    o.textButton = TextButton->isChecked();
    o.regExpFind = RegExpFind->isChecked();
    o.regExpSearch = RegExpSearch->isChecked();
    o.phraseButtonReplace = PhraseButtonReplace->isChecked();
    o.textSearchButton = TextSearchButton->isChecked();
    o.noneButton = NoneButton->isChecked();
    o.replaceButton = ReplaceButton->isChecked();
    o.replaceSpacesButton = ReplaceSpacesButton->isChecked();
    o.insertButton = InsertButton->isChecked();
    o.insertAfterButton = InsertAfterButton->isChecked();
    o.deleteButton = DeleteButton->isChecked();
    o.creatBackupCheckBox = CreatBackupCheckBox->isChecked();
    o.previewCheckBox = PreviewCheckBox->isChecked();
    o.phraseXPCheckBox = PhraseXPCheckBox->isChecked();
    o.regExprXPCheckBox = RegExprXPCheckBox->isChecked();
    o.modifyXPCheckBox = ModifyXPCheckBox->isChecked();
    o.trimLeftCheckBox = TrimLeftCheckBox->isChecked();
    o.trimRightCheckBox = TrimRightCheckBox->isChecked();
    o.expPointCheckBox = ExpPointCheckBox->isChecked();
    o.expSpaceCheckBox = ExpSpaceCheckBox->isChecked();
    o.includeSubdirectoriesCheckBox = IncludeSubdirectoriesCheckBox->isChecked();
    o.allSizeCheckBox = AllSizeCheckBox->isChecked();
    o.allDateCheckBox = AllDateCheckBox->isChecked();
    o.minimumRadioButton = AllLeastRadioButton->isChecked();
    o.maximumRadioButton = AllMostRadioButton->isChecked();
    o.betweenRadioButton = BetweenRadioButton->isChecked();
    o.newestRadioButton = NewestRadioButton->isChecked();
    o.sizeSpinEdit = SizeSpinEdit->value();
    o.kbComboBox = KBComboBox->currentIndex() == 1 ? 1 : 0;
    o.minDateTimePicker = toDayNumber(MinDateTimePicker->date());
    o.maxDateTimePicker = toDayNumber(MaxDateTimePicker->date());
    o.daysAgoSpinEdit = DaysAgoSpinEdit->value();
    o.size = SizeLabel->isEnabled();
    o.last = LastModifiedLabel->isEnabled();
    o.andop = AndLabel->isEnabled();
    o.days = DaysAgoLabel->isEnabled();
    rememberGeometry();
    if (state_.normalHeight > 0) o.findHeight = state_.normalHeight;
    if (state_.listHeight > 0) o.findListViewHeight = state_.listHeight;
    o.maxFind = isMaximized();
    const QWidget* page = PageControl1->currentWidget();
    o.nomTab = page == FindTab ? 1 : page == SearchReplaceTab ? 2 : 3;
}

settings::StoredSettings& TFind::collectSettings() {
    collectStoredSettings();
    if (settingsDialogs_) settingsDialogs_->store();
    return stored_;
}

void TFind::applyDialogSettings() {
    if (settingsDialogs_) settingsDialogs_->load(stored_.dialog);
}

void TFind::saveSettings() {
    if (settingsSaved_ || composing_) return;
    settingsSaved_ = true;
    collectSettings();
    // The settings dialogs' values and ignore lists are saved with the rest at the end.
    if (services_.settings) services_.settings->SaveSettings(stored_, settingsDialogs_ != nullptr);
}

}  // namespace vsr::ui
