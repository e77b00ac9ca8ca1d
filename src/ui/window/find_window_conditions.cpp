// The controls as a conditions record and back, and the history lists of the combo boxes.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "ui/window/find_window.h"

namespace vsr::ui {

namespace {

// The lines of a memo; a memo that ends with a line break holds no extra empty line.
QStringList memoLines(const QPlainTextEdit* memo) {
    const QString all = memo->toPlainText();
    if (all.isEmpty()) return {};
    QStringList lines = all.split(QLatin1Char('\n'));
    if (all.endsWith(QLatin1Char('\n'))) lines.removeLast();
    return lines;
}

platform::CivilDate civil(const QDate& d) { return {d.year(), d.month(), d.day()}; }
QDate qdate(const platform::CivilDate& d) { return QDate(d.year, d.month, d.day); }

// Typed texts into bytes, noting the first character the encoding refuses in `refusal` when
// the text is one the run uses.
class TextBytes {
public:
    explicit TextBytes(const TypedText& typed) : typed_(typed) {}

    std::string text(const QString& text, std::string* refusal) const {
        std::string why;
        std::optional<std::string> b = typed_.bytes(text, &why);
        if (b) return std::move(*b);
        if (refusal && refusal->empty()) *refusal = why;
        // Never run: the caller refuses it. Kept bytes only serve views of what was typed.
        return typed_.kept(text);
    }
    std::vector<std::string> lines(const QPlainTextEdit* memo, std::string* refusal) const {
        std::vector<std::string> out;
        for (const QString& line : memoLines(memo)) out.push_back(text(line, refusal));
        return out;
    }

private:
    const TypedText& typed_;
};

}  // namespace

engine::SearchConditions TFind::currentConditions(engine::Tab tab, TextRefusals* refusals) const {
    engine::SearchConditions c;
    c.tab = tab;
    c.queryType = queryType();
    c.searchType = searchType();
    c.modificationType = modificationType();
    // Only the texts this run uses may refuse it: a replacement the Find tab never reads may hold anything.
    const bool findTab = tab == engine::Tab::Find;
    const bool findLines = c.queryType == engine::QueryType::Multiline || c.queryType == engine::QueryType::RegExpr;
    const bool searchLines = c.searchType != engine::SearchType::Phrase;
    const bool inserts = c.modificationType == engine::ModificationType::Replace ||
                         c.modificationType == engine::ModificationType::InsertBefore ||
                         c.modificationType == engine::ModificationType::InsertAfter;
    std::string* query = refusals ? &refusals->query : nullptr;
    std::string* replacement = refusals && !findTab && inserts ? &refusals->replacement : nullptr;
    const TypedText typed = typedText();
    const TextBytes bytes(typed);
    c.findText = bytes.text(FindEditComboBox->currentText(), findTab && !findLines ? query : nullptr);
    c.findLines = bytes.lines(FindMemo, findTab && findLines ? query : nullptr);
    c.searchText = bytes.text(SearchEdit->currentText(), !findTab && !searchLines ? query : nullptr);
    c.searchLines = bytes.lines(SearchMemo, !findTab && searchLines ? query : nullptr);
    c.replaceText = bytes.text(Edit2->currentText(), searchLines ? nullptr : replacement);
    c.replaceLines = bytes.lines(Memo2, searchLines ? replacement : nullptr);
    c.path = fileSystemName(ComboBoxPath->currentText());
    c.masks = fileSystemName(MasksComboBox->currentText());
    c.caseSensitive = SensitiveCheckBox->isChecked();
    c.searchArchives = ArchivesCheckBox->isChecked();
    c.wholeWords = WholeWordsCheckBox->isChecked();
    c.searchInResults = ListXPCheckBox->isChecked() && ListXPCheckBox->isEnabled();
    c.includeSubfolders = IncludeSubdirectoriesCheckBox->isChecked();
    c.createBackups = CreatBackupCheckBox->isChecked();
    c.sizeFilter = AllSizeCheckBox->isChecked();
    c.sizeLimitKind = AllLeastRadioButton->isChecked() ? engine::SizeLimitKind::Minimum : engine::SizeLimitKind::Maximum;
    c.sizeValue = SizeSpinEdit->value();
    c.sizeUnit = KBComboBox->currentIndex() == 1 ? engine::SizeUnit::MB : engine::SizeUnit::KB;
    c.dateFilter = AllDateCheckBox->isChecked();
    c.dateLimitKind =
        NewestRadioButton->isChecked() ? engine::DateLimitKind::NewerThan : engine::DateLimitKind::Between;
    c.minDate = civil(MinDateTimePicker->date());
    c.maxDate = civil(MaxDateTimePicker->date());
    c.daysAgo = DaysAgoSpinEdit->value();
    c.trimLeading = TrimLeftCheckBox->isChecked();
    c.trimTrailing = TrimRightCheckBox->isChecked();
    c.dotMatchesAll = ExpPointCheckBox->isChecked();
    c.extendedSyntax = ExpSpaceCheckBox->isChecked();
    c.eachLineSeparately = RegExprXPCheckBox->isChecked();
    c.phraseIntervals = PhraseXPCheckBox->isChecked();
    c.regExprIntervals = ModifyXPCheckBox->isChecked();
    const settings::DialogSettings& d = stored_.dialog;
    c.ignoreDirectories = d.ignorePathsXPCh;
    c.ignoreSubfoldersToo = d.ignoreSubFoldXPCh;
    c.ignoreFiles = d.ignoreFilesXPCh;
    c.skipGitignored = d.gitignoreXPCh;
    auto splitLines = [](const std::string& all) {
        std::vector<std::string> out;
        std::size_t start = 0;
        while (start < all.size()) {
            std::size_t end = all.find('\n', start);
            if (end == std::string::npos) end = all.size();
            out.push_back(all.substr(start, end - start));
            start = end + 1;
        }
        return out;
    };
    c.directoryIgnoreList = splitLines(d.directIgnoreList);
    c.fileIgnoreList = splitLines(d.fileIgnoreList);
    c.textEncoding = typed.textEncoding();
    c.fallbackEncoding = d.fallbackEncoding;
    return c;
}

void TFind::applyConditions(const engine::SearchConditions& c) {
    updatingFields_ = true;
    if (auto* b = QueryTypeGroup->button(int(c.queryType))) b->setChecked(true);
    setComboText(FindEditComboBox, c.findText);
    // A memo's final line feed only ends its last line (as memoLines reads it), so a last line
    // that is empty needs one more to stay a line.
    auto join = [](const std::vector<std::string>& v) {
        std::string all;
        for (std::size_t i = 0; i < v.size(); ++i) all += (i ? "\n" : "") + v[i];
        if (!v.empty() && v.back().empty()) all += '\n';
        return all;
    };
    setMemoText(FindMemo, join(c.findLines));
    if (auto* b = SearchTypeGroup->button(int(c.searchType))) b->setChecked(true);
    setComboText(SearchEdit, c.searchText);
    setMemoText(SearchMemo, join(c.searchLines));
    if (auto* b = ModificationTypeGroup->button(int(c.modificationType))) b->setChecked(true);
    setComboText(Edit2, c.replaceText);
    setMemoText(Memo2, join(c.replaceLines));
    setComboText(ComboBoxPath, c.path);
    setComboText(MasksComboBox, c.masks);
    SensitiveCheckBox->setChecked(c.caseSensitive);
    WholeWordsCheckBox->setChecked(c.wholeWords);
    IncludeSubdirectoriesCheckBox->setChecked(c.includeSubfolders);
    CreatBackupCheckBox->setChecked(c.createBackups);
    AllSizeCheckBox->setChecked(c.sizeFilter);
    (c.sizeLimitKind == engine::SizeLimitKind::Minimum ? AllLeastRadioButton : AllMostRadioButton)->setChecked(true);
    SizeSpinEdit->setValue(static_cast<int>(c.sizeValue));
    KBComboBox->setCurrentIndex(c.sizeUnit == engine::SizeUnit::MB ? 1 : 0);
    AllDateCheckBox->setChecked(c.dateFilter);
    (c.dateLimitKind == engine::DateLimitKind::NewerThan ? NewestRadioButton : BetweenRadioButton)->setChecked(true);
    MinDateTimePicker->setDate(qdate(c.minDate));
    MaxDateTimePicker->setDate(qdate(c.maxDate));
    DaysAgoSpinEdit->setValue(static_cast<int>(c.daysAgo));
    TrimLeftCheckBox->setChecked(c.trimLeading);
    TrimRightCheckBox->setChecked(c.trimTrailing);
    ExpPointCheckBox->setChecked(c.dotMatchesAll);
    ExpSpaceCheckBox->setChecked(c.extendedSyntax);
    RegExprXPCheckBox->setChecked(c.eachLineSeparately);
    PhraseXPCheckBox->setChecked(c.phraseIntervals);
    ModifyXPCheckBox->setChecked(c.regExprIntervals);
    updatingFields_ = false;
    OptionsEnableRules();
    QueryTypeClick();
    SearchTypeClick();
    ModificationTypeClick();
}

bool TFind::holdsNames(const QComboBox* combo) const { return combo == ComboBoxPath || combo == MasksComboBox; }

void TFind::setComboText(QComboBox* combo, const std::string& value) {
    const bool was = updatingFields_;
    updatingFields_ = true;
    combo->setEditText(holdsNames(combo) ? fileSystemName(value) : typedText().field(value));
    updatingFields_ = was;
}

void TFind::setMemoText(QPlainTextEdit* memo, const std::string& value) {
    const bool was = updatingFields_;
    updatingFields_ = true;
    memo->setPlainText(typedText().field(value));
    updatingFields_ = was;
}

QComboBox* TFind::historyCombo(engine::HistoryField field) const {
    switch (field) {
    case engine::HistoryField::Path: return ComboBoxPath;
    case engine::HistoryField::Masks: return MasksComboBox;
    case engine::HistoryField::FindText: return FindEditComboBox;
    case engine::HistoryField::SearchText: return SearchEdit;
    case engine::HistoryField::ReplaceText: return Edit2;
    }
    return nullptr;
}

void TFind::fieldNormalized(engine::HistoryField field, const std::string& value) {
    if (QComboBox* combo = historyCombo(field)) setComboText(combo, value);
}

void TFind::historyUsed(engine::HistoryField field, const std::string& value) {
    QComboBox* combo = historyCombo(field);
    if (!combo) return;
    // The list is reordered as UTF-8, which holds every typed character, so no item loses one.
    const TypedText asTyped = typedText();
    const TypedText whole(platform::CodePageId::Utf8);
    auto held = [&](const QString& s) { return whole.bytes(s).value_or(s.toStdString()); };
    std::vector<std::string> items;
    for (int i = 0; i < combo->count(); ++i) items.push_back(held(combo->itemText(i)));
    engine::pushHistory(items, held(holdsNames(combo) ? fileSystemName(value) : asTyped.field(value)));
    // Rebuilding the list must not disturb the text in the field, which stays as typed.
    const QString keep = combo->currentText();
    const bool was = updatingFields_;
    updatingFields_ = true;
    {
        const QSignalBlocker block(combo);
        combo->clear();
        for (const std::string& item : items) combo->addItem(whole.field(item));
        combo->setCurrentIndex(-1);
        combo->setEditText(keep);
    }
    updatingFields_ = was;
}

}  // namespace vsr::ui
