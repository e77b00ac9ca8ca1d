#include "project/project_file.h"

#include <initializer_list>
#include <limits>

#include "project/line_reader.h"
#include "settings/day_number.h"
#include "settings/history_values.h"
#include "settings/value_text.h"

namespace vsr::project {

namespace {

using settings::DialogSettings;
using settings::HistoryList;
using settings::MainOptions;

// The placeholder added to an editor command that came without one.
constexpr const char* kFullNamePlaceholder = " \"%PrFullName%\"";
// The Browse Context choice an empty entry stands for ("5" lines).
constexpr int kDefaultBrowseChoice = 3;

// Entries 59 to 64, one line each.
constexpr int kBlockBLines = 6;

// A block of entries could not be read on; thrown inside the reader only.
struct BlockFailed {};

// A multi-line field as a line list: its text with one line break appended, split into lines.
std::vector<std::string_view> fieldLines(std::string_view text, std::string& buffer) {
    buffer.assign(text);
    buffer += '\n';
    std::vector<std::string_view> lines;
    LineReader in(buffer);
    while (auto line = in.next()) lines.push_back(*line);
    return lines;
}

class Writer {
public:
    explicit Writer(const platform::LocaleFormats& dates) : dates_(dates) {}

    void text(std::string_view t) { out_.line(t); }
    void integer(long long n) { out_.number(n); }
    void flag(bool on) { out_.flag(on); }
    void history(const HistoryList& h) {
        text(h.text);
        const std::size_t n = std::min<std::size_t>(h.items.size(), settings::kHistoryItemsKept);
        integer(static_cast<long long>(n));
        for (std::size_t i = 0; i < n; ++i) text(h.items[i]);
    }
    void lineList(std::string_view field) {
        std::string buffer;
        const auto lines = fieldLines(field, buffer);
        integer(static_cast<long long>(lines.size()));
        for (std::string_view line : lines) text(line);
    }
    void dateText(int dayNumber) { text(dates_.shortDateOf(settings::dateFromDayNumber(dayNumber))); }
    std::string take() { return out_.take(); }

private:
    const platform::LocaleFormats& dates_;
    LineWriter out_;
};

class Reader {
public:
    Reader(std::string_view bytes, const platform::LocaleFormats& dates) : in_(bytes), dates_(&dates) {}

    std::string text() { return std::string(in_.text()); }
    bool flag() { return in_.text() == "TRUE"; }
    // A line that must hold a number; an empty or missing line is none.
    int integer() {
        auto n = settings::parseWholeNumber(in_.text());
        if (!n) throw BlockFailed{};
        return *n;
    }
    // A count or day number: a missing line reads as 0, a present one must be a number.
    int zeroAtEnd() {
        auto line = in_.next();
        if (!line) return 0;
        auto n = settings::parseWholeNumber(*line);
        if (!n) throw BlockFailed{};
        return *n;
    }
    // A count of the lines that follow, each `linesPer` long, which the file must hold.
    std::size_t count(std::size_t linesPer = 1) {
        const int n = zeroAtEnd();
        if (n < 0) throw BlockFailed{};
        const std::size_t need = static_cast<std::size_t>(n) * linesPer;
        if (in_.linesLeft(need) < need) throw BlockFailed{};
        return static_cast<std::size_t>(n);
    }
    void history(HistoryList& h) {
        std::string t = text();
        const std::size_t n = count();
        h.items.clear();
        h.items.reserve(n);
        for (std::size_t i = 0; i < n; ++i) h.items.push_back(text());
        h.text = std::move(t);
    }
    void lineList(std::string& field) {
        const std::size_t n = count();
        std::string t;
        for (std::size_t i = 0; i < n; ++i) {
            if (i) t += '\n';
            t += in_.text();
        }
        field = std::move(t);
    }
    int dateText() {
        auto date = dates_->parseShortDate(in_.text());
        if (!date) throw BlockFailed{};
        return settings::dayNumberFromDate(*date);
    }
    bool atEnd() const { return in_.atEnd(); }
    void skip(int lines) {
        for (int i = 0; i < lines; ++i) in_.next();
    }

private:
    LineReader in_;
    const platform::LocaleFormats* dates_;
};

// A radio button's flag: true selects it and clears the rest of its group, false clears it.
void radio(std::initializer_list<bool*> group, bool* button, bool on) {
    if (on)
        for (bool* b : group) *b = false;
    *button = on;
}

void readBlockA(Reader& r, ProjectValues& v, std::string& editorFirst) {
    settings::StoredSettings& s = v.settings;
    MainOptions& o = s.options;
    r.history(s.history.comboBoxPath);
    r.history(s.history.findEditComboBox);
    r.history(s.history.searchEdit);
    r.history(s.history.edit2);
    r.history(s.history.masksComboBox);
    r.lineList(s.memos.findMemo);
    r.lineList(s.memos.searchMemo);
    r.lineList(s.memos.memo2);
    o.sensitiveCheckBox = r.flag();
    o.wholeWordsCheckBox = r.flag();
    const auto query = {&o.phraseButton, &o.wordsorButton, &o.wordsandButton,
                        &o.complexButton, &o.textButton,   &o.regExpFind};
    for (bool* b : {&o.phraseButton, &o.wordsorButton, &o.wordsandButton, &o.complexButton, &o.textButton})
        radio(query, b, r.flag());
    const auto search = {&o.phraseButtonReplace, &o.textSearchButton, &o.regExpSearch};
    for (bool* b : {&o.phraseButtonReplace, &o.textSearchButton}) radio(search, b, r.flag());
    const auto modification = {&o.noneButton,   &o.replaceButton,     &o.replaceSpacesButton,
                               &o.insertButton, &o.insertAfterButton, &o.deleteButton};
    for (bool* b : modification) radio(modification, b, r.flag());
    o.creatBackupCheckBox = r.flag();
    r.flag();  // the opposite of the backup flag, kept for older readers
    o.trimLeftCheckBox = r.flag();
    o.trimRightCheckBox = r.flag();
    o.includeSubdirectoriesCheckBox = r.flag();
    o.allSizeCheckBox = r.flag();
    o.allDateCheckBox = r.flag();
    const auto size = {&o.minimumRadioButton, &o.maximumRadioButton};
    for (bool* b : size) radio(size, b, r.flag());
    const auto date = {&o.betweenRadioButton, &o.newestRadioButton};
    for (bool* b : date) radio(date, b, r.flag());
    o.sizeSpinEdit = r.integer();
    o.kbComboBox = r.integer();
    o.minDateTimePicker = r.dateText();
    o.maxDateTimePicker = r.dateText();
    o.daysAgoSpinEdit = r.integer();
    o.size = r.flag();
    o.last = r.flag();
    o.andop = r.flag();
    o.days = r.flag();
    for (int* w : {&o.columnName, &o.columnPath, &o.columnFound, &o.columnAttributes, &o.columnTime, &o.columnSize,
                   &o.columnType, &o.columnResult})
        *w = r.integer();
    for (std::string* dir : {&o.initialDir, &o.initialDirV, &o.initialDirOpenEditor, &o.initialDirOpenProject,
                             &o.initialDirSaveProject})
        *dir = r.text();
    editorFirst = r.text();
    o.nomTab = r.integer();
}

// A day number a date picker can show; any other is no date, which ends block B.
int dayNumber(Reader& r) {
    const int day = r.zeroAtEnd();
    if (day < settings::kFirstDayNumber || day > settings::kLastDayNumber) throw BlockFailed{};
    return day;
}

void readBlockB(Reader& r, MainOptions& o) {
    if (const int day = dayNumber(r); day != 0) o.minDateTimePicker = day;
    if (const int day = dayNumber(r); day != 0) o.maxDateTimePicker = day;
    radio({&o.phraseButton, &o.wordsorButton, &o.wordsandButton, &o.complexButton, &o.textButton, &o.regExpFind},
          &o.regExpFind, r.flag());
    radio({&o.phraseButtonReplace, &o.textSearchButton, &o.regExpSearch}, &o.regExpSearch, r.flag());
    o.expPointCheckBox = r.flag();
    o.expSpaceCheckBox = r.flag();
}

void readBlockD(Reader& r, ProjectValues& v, ProjectRead& result) {
    MainOptions& o = v.settings.options;
    DialogSettings& d = v.settings.dialog;
    const auto separators = {&d.winXPRadioButton, &d.unXPRadioButton, &d.macXPRadioButton};
    for (bool* b : separators) radio(separators, b, r.flag());
    if (!d.unXPRadioButton && !d.macXPRadioButton) d.winXPRadioButton = true;
    o.initialDirwCopy = r.text();
    o.phraseXPCheckBox = r.flag();
    const std::string browse = r.text();
    if (browse.empty()) {
        d.browseComboBox = kDefaultBrowseChoice;
    } else {
        auto n = settings::parseWholeNumber(browse);
        if (!n) throw BlockFailed{};
        d.browseComboBox = *n;
    }
    result.settingsLoaded = true;
    o.regExprXPCheckBox = r.flag();
    o.modifyXPCheckBox = r.flag();
    d.ignorePathsXPCh = r.flag();
    d.ignoreFilesXPCh = r.flag();
    d.readOnly = r.flag();
    d.replaceHiddenCheckBox = r.flag();
    d.ignoreSubFoldXPCh = r.flag();
    r.lineList(d.directIgnoreList);
    r.lineList(d.fileIgnoreList);
    o.initialDirwIgnPath = r.text();

    BatchTable& b = v.batch;
    b.dialogWidth = r.integer();
    b.dialogHeight = r.integer();
    b.setNumberOfRows(r.integer());
    b.searchColumnWidth = r.integer();
    b.replaceColumnWidth = r.integer();
    const std::size_t k = r.count(2);
    if (k > static_cast<std::size_t>(kMaxBatchRows)) throw BlockFailed{};
    if (b.rows.size() < k) b.rows.resize(k);
    // Rows the count asks for beyond the listed pairs are empty, not the table loaded before.
    for (std::size_t i = k; i < b.rows.size(); ++i) b.rows[i] = BatchPair{};
    for (std::size_t i = 0; i < k; ++i) b.rows[i].search = cellText(r.text());
    for (std::size_t i = 0; i < k; ++i) b.rows[i].replace = cellText(r.text());
}

}  // namespace

std::string projectFileBytes(const ProjectValues& values, const platform::LocaleFormats& dates) {
    const settings::StoredSettings& s = values.settings;
    const MainOptions& o = s.options;
    const DialogSettings& d = s.dialog;
    Writer w(dates);
    // Block A.
    for (const HistoryList* h : {&s.history.comboBoxPath, &s.history.findEditComboBox, &s.history.searchEdit,
                                 &s.history.edit2, &s.history.masksComboBox})
        w.history(*h);
    w.lineList(s.memos.findMemo);
    w.lineList(s.memos.searchMemo);
    w.lineList(s.memos.memo2);
    for (bool f : {o.sensitiveCheckBox, o.wholeWordsCheckBox, o.phraseButton, o.wordsorButton, o.wordsandButton,
                   o.complexButton, o.textButton, o.phraseButtonReplace, o.textSearchButton, o.noneButton,
                   o.replaceButton, o.replaceSpacesButton, o.insertButton, o.insertAfterButton, o.deleteButton,
                   o.creatBackupCheckBox, !o.creatBackupCheckBox, o.trimLeftCheckBox, o.trimRightCheckBox,
                   o.includeSubdirectoriesCheckBox, o.allSizeCheckBox, o.allDateCheckBox, o.minimumRadioButton,
                   o.maximumRadioButton, o.betweenRadioButton, o.newestRadioButton})
        w.flag(f);
    w.integer(o.sizeSpinEdit);
    w.integer(o.kbComboBox);
    w.dateText(o.minDateTimePicker);
    w.dateText(o.maxDateTimePicker);
    w.integer(o.daysAgoSpinEdit);
    for (bool f : {o.size, o.last, o.andop, o.days}) w.flag(f);
    for (int width : {o.columnName, o.columnPath, o.columnFound, o.columnAttributes, o.columnTime, o.columnSize,
                      o.columnType, o.columnResult})
        w.integer(width);
    for (const std::string* dir : {&o.initialDir, &o.initialDirV, &o.initialDirOpenEditor, &o.initialDirOpenProject,
                                   &o.initialDirSaveProject})
        w.text(*dir);
    w.text(d.editorA);
    w.integer(o.nomTab);
    // Block B.
    w.integer(o.minDateTimePicker);
    w.integer(o.maxDateTimePicker);
    for (bool f : {o.regExpFind, o.regExpSearch, o.expPointCheckBox, o.expSpaceCheckBox}) w.flag(f);
    // Block C.
    w.text(d.editorA);
    // Block D.
    for (bool f : {d.winXPRadioButton, d.unXPRadioButton, d.macXPRadioButton}) w.flag(f);
    w.text(o.initialDirwCopy);
    w.flag(o.phraseXPCheckBox);
    w.integer(d.browseComboBox);
    for (bool f : {o.regExprXPCheckBox, o.modifyXPCheckBox, d.ignorePathsXPCh, d.ignoreFilesXPCh, d.readOnly,
                   d.replaceHiddenCheckBox, d.ignoreSubFoldXPCh})
        w.flag(f);
    w.lineList(d.directIgnoreList);
    w.lineList(d.fileIgnoreList);
    w.text(o.initialDirwIgnPath);
    const BatchTable& b = values.batch;
    for (int n : {b.dialogWidth, b.dialogHeight, b.numberOfRows, b.searchColumnWidth, b.replaceColumnWidth})
        w.integer(n);
    if (!b.rows.empty()) {
        w.integer(static_cast<long long>(b.rows.size()));
        for (const BatchPair& row : b.rows) w.text(row.search);
        for (const BatchPair& row : b.rows) w.text(row.replace);
    }
    return w.take();
}

ProjectRead readProjectFile(std::string_view bytes, const platform::LocaleFormats& dates, ProjectValues& values) {
    ProjectRead result;
    Reader r(bytes, dates);
    std::string editorFirst;
    try {
        readBlockA(r, values, editorFirst);
    } catch (const BlockFailed&) {
        return result;
    }
    result.correct = true;
    const Reader blockB = r;
    try {
        readBlockB(r, values.settings.options);
        result.blockBWhole = true;
    } catch (const BlockFailed&) {
        // Block B has one line per entry: the editor command is read from its own line
        // whichever entry failed, never from the rest of a broken block.
        r = blockB;
        r.skip(kBlockBLines);
    }
    // Block C: the second copy of the editor command, or the first with the full-name
    // placeholder when the second is missing or empty.
    DialogSettings& d = values.settings.dialog;
    const bool missing = r.atEnd();
    d.editorA = r.text();
    if (missing || (d.editorA.empty() && !editorFirst.empty())) d.editorA = editorFirst + kFullNamePlaceholder;
    try {
        readBlockD(r, values, result);
        result.blockDWhole = true;
    } catch (const BlockFailed&) {
    }
    return result;
}

}  // namespace vsr::project
