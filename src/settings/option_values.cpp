#include "settings/option_values.h"

#include <algorithm>
#include <climits>
#include <initializer_list>

#include "settings/day_number.h"
#include "settings/first_start.h"
#include "settings/key_paths.h"
#include "settings/value_text.h"

namespace vsr::settings {

namespace {

template <class Record, class T>
struct Value {
    const char* name;
    T Record::*field;
};
using MainBool = Value<MainOptions, bool>;
using MainInt = Value<MainOptions, int>;
using MainText = Value<MainOptions, std::string>;
using DialogBool = Value<DialogSettings, bool>;

// In the order the values are kept, history lists and memos aside.
constexpr MainBool kMainBools[] = {
    {"SensitiveCheckBox", &MainOptions::sensitiveCheckBox},
    {"WholeWordsCheckBox", &MainOptions::wholeWordsCheckBox},
    {"PhraseButton", &MainOptions::phraseButton},
    {"WordsorButton", &MainOptions::wordsorButton},
    {"WordsandButton", &MainOptions::wordsandButton},
    {"ComplexButton", &MainOptions::complexButton},
    {"TextButton", &MainOptions::textButton},
    {"RegExpFind", &MainOptions::regExpFind},
    {"RegExpSearch", &MainOptions::regExpSearch},
    {"PhraseButtonReplace", &MainOptions::phraseButtonReplace},
    {"TextSearchButton", &MainOptions::textSearchButton},
    {"NoneButton", &MainOptions::noneButton},
    {"ReplaceButton", &MainOptions::replaceButton},
    {"ReplaceSpacesButton", &MainOptions::replaceSpacesButton},
    {"InsertButton", &MainOptions::insertButton},
    {"InsertAfterButton", &MainOptions::insertAfterButton},
    {"DeleteButton", &MainOptions::deleteButton},
    {"CreatBackupCheckBox", &MainOptions::creatBackupCheckBox},
    {"PreviewCheckBox", &MainOptions::previewCheckBox},
    {"ArchivesCheckBox", &MainOptions::archivesCheckBox},
    {"PhraseXPCheckBox", &MainOptions::phraseXPCheckBox},
    {"RegExprXPCheckBox", &MainOptions::regExprXPCheckBox},
    {"ModifyXPCheckBox", &MainOptions::modifyXPCheckBox},
    {"TrimLeftCheckBox", &MainOptions::trimLeftCheckBox},
    {"TrimRightCheckBox", &MainOptions::trimRightCheckBox},
    {"ExpPointCheckBox", &MainOptions::expPointCheckBox},
    {"ExpSpaceCheckBox", &MainOptions::expSpaceCheckBox},
    {"IncludeSubdirectoriesCheckBox", &MainOptions::includeSubdirectoriesCheckBox},
    {"AllSizeCheckBox", &MainOptions::allSizeCheckBox},
    {"AllDateCheckBox", &MainOptions::allDateCheckBox},
    {"MinimumRadioButton", &MainOptions::minimumRadioButton},
    {"MaximumRadioButton", &MainOptions::maximumRadioButton},
    {"BetweenRadioButton", &MainOptions::betweenRadioButton},
    {"NewestRadioButton", &MainOptions::newestRadioButton},
    {"Size", &MainOptions::size},
    {"Last", &MainOptions::last},
    {"Andop", &MainOptions::andop},
    {"Days", &MainOptions::days},
    {"MaxFind", &MainOptions::maxFind},
};

constexpr MainInt kMainInts[] = {
    {"SizeSpinEdit", &MainOptions::sizeSpinEdit},
    {"KBComboBox", &MainOptions::kbComboBox},
    {"DaysAgoSpinEdit", &MainOptions::daysAgoSpinEdit},
    {"ColumnName", &MainOptions::columnName},
    {"ColumnPath", &MainOptions::columnPath},
    {"ColumnFound", &MainOptions::columnFound},
    {"ColumnAttributes", &MainOptions::columnAttributes},
    {"ColumnTime", &MainOptions::columnTime},
    {"ColumnSize", &MainOptions::columnSize},
    {"ColumnType", &MainOptions::columnType},
    {"ColumnResult", &MainOptions::columnResult},
    {"FindWidth", &MainOptions::findWidth},
    {"FindHeight", &MainOptions::findHeight},
    {"FindListViewHeight", &MainOptions::findListViewHeight},
    {"NomTab", &MainOptions::nomTab},
};

constexpr MainText kMainTexts[] = {
    {"InitialDir", &MainOptions::initialDir},
    {"InitialDirV", &MainOptions::initialDirV},
    {"InitialDirOpenEditor", &MainOptions::initialDirOpenEditor},
    {"InitialDirOpenProject", &MainOptions::initialDirOpenProject},
    {"InitialDirSaveProject", &MainOptions::initialDirSaveProject},
    {"InitialDirwCopy", &MainOptions::initialDirwCopy},
    {"InitialDirwIgnPath", &MainOptions::initialDirwIgnPath},
};

constexpr DialogBool kDialogBools[] = {
    {"WinXPRadioButton", &DialogSettings::winXPRadioButton},
    {"UnXPRadioButton", &DialogSettings::unXPRadioButton},
    {"MacXPRadioButton", &DialogSettings::macXPRadioButton},
    {"IgnorePathsXPCh", &DialogSettings::ignorePathsXPCh},
    {"IgnoreFilesXPCh", &DialogSettings::ignoreFilesXPCh},
    {"GitignoreXPCh", &DialogSettings::gitignoreXPCh},
    {"IndexFolderXPCh", &DialogSettings::indexFolderXPCh},
    {"ReadOnly", &DialogSettings::readOnly},
    {"ReplaceHiddenCheckBox", &DialogSettings::replaceHiddenCheckBox},
    {"IgnoreSubFoldXPCh", &DialogSettings::ignoreSubFoldXPCh},
};

// Dates are kept twice: as short-date text for people reading the file, and as the
// day number times 7 (lower) or 9 (upper), which is what loading reads back.
constexpr int kMinDateFactor = 7;
constexpr int kMaxDateFactor = 9;

void writeDate(ValueWriter& out, const SettingsEnvironment& env, const char* name, int day, int factor) {
    if (env.locale && day >= kFirstDayNumber && day <= kLastDayNumber)
        out.text(name, env.locale->shortDateOf(dateFromDayNumber(day)));
    // Wider than int: a day no picker can show still gives a number, which loading refuses.
    out.text(std::string(name) + "Num", std::to_string(static_cast<long long>(day) * factor));
}

// Half the free room on the screen; stored sizes may be anything, so no overflow.
int centred(int screen, long long window) {
    return static_cast<int>(std::clamp<long long>((screen - window) / 2, INT_MIN, INT_MAX));
}

int readDate(const ValueReader& in, const char* name, int factor, int fallbackDay) {
    const int day = in.integer(std::string(name) + "Num", fallbackDay * factor) / factor;
    return day >= kFirstDayNumber && day <= kLastDayNumber ? day : fallbackDay;
}

// A radio group holds exactly one choice. Loading several "on" keeps the last one,
// as setting the buttons in turn would; none "on" falls back to the default choice.
template <class Record>
void oneOf(Record& r, std::initializer_list<bool Record::*> group, bool Record::*fallback) {
    bool Record::*chosen = nullptr;
    for (auto member : group)
        if (r.*member) chosen = member;
    if (!chosen) chosen = fallback;
    for (auto member : group) r.*member = member == chosen;
}

int indexInRange(int value, int count, int fallback) { return value >= 0 && value < count ? value : fallback; }

}  // namespace

void saveMainOptions(platform::SettingsStore& store, const MainOptions& o, const SettingsEnvironment& env) {
    ValueWriter out(store, kOptionsKey);
    for (const auto& v : kMainBools) out.boolean(v.name, o.*v.field);
    // Kept for readers that look for it; loading never uses it.
    out.boolean("SearchRadioButton", !o.creatBackupCheckBox);
    for (const auto& v : kMainInts) out.integer(v.name, o.*v.field);
    writeDate(out, env, "MinDateTimePicker", o.minDateTimePicker, kMinDateFactor);
    writeDate(out, env, "MaxDateTimePicker", o.maxDateTimePicker, kMaxDateFactor);
    out.integer("FindLeft", o.findLeft);
    out.integer("FindTop", o.findTop);
    for (const auto& v : kMainTexts) out.text(v.name, o.*v.field);
}

void loadMainOptions(platform::SettingsStore& store, MainOptions& o, const SettingsEnvironment& env) {
    const MainOptions defaults = firstStartSettings(env).options;
    ValueReader in(store, kOptionsKey);
    for (const auto& v : kMainBools) o.*v.field = in.boolean(v.name, defaults.*v.field);
    for (const auto& v : kMainInts) o.*v.field = in.integer(v.name, defaults.*v.field);
    for (const auto& v : kMainTexts) o.*v.field = in.text(v.name, defaults.*v.field);

    o.minDateTimePicker = readDate(in, "MinDateTimePicker", kMinDateFactor, defaults.minDateTimePicker);
    o.maxDateTimePicker = readDate(in, "MaxDateTimePicker", kMaxDateFactor, defaults.maxDateTimePicker);
    // Centred for the size just read, not for the default size.
    o.findLeft = in.integer("FindLeft", centred(env.screenWidth, o.findWidth));
    o.findTop = in.integer("FindTop", centred(env.screenHeight,
                                              static_cast<long long>(o.findHeight) + scaledPixels(24, env.pixelsPerInch)));

    // An index outside its drop-down list would select nothing.
    o.kbComboBox = indexInRange(o.kbComboBox, 2, defaults.kbComboBox);

    using M = MainOptions;
    oneOf(o, {&M::phraseButton, &M::wordsorButton, &M::wordsandButton, &M::complexButton, &M::textButton,
              &M::regExpFind},
          &M::phraseButton);
    oneOf(o, {&M::regExpSearch, &M::phraseButtonReplace, &M::textSearchButton}, &M::phraseButtonReplace);
    oneOf(o, {&M::noneButton, &M::replaceButton, &M::replaceSpacesButton, &M::insertButton, &M::insertAfterButton,
              &M::deleteButton},
          &M::replaceButton);
    oneOf(o, {&M::minimumRadioButton, &M::maximumRadioButton}, &M::maximumRadioButton);
    oneOf(o, {&M::betweenRadioButton, &M::newestRadioButton}, &M::betweenRadioButton);
}

// The "FallbackEncoding" of files that are not UTF-8 taken as the bytes they are.
constexpr const char* kAsBytes = "bytes";

void saveDialogOptions(platform::SettingsStore& store, const DialogSettings& d) {
    ValueWriter out(store, kOptionsKey);
    for (const auto& v : kDialogBools) out.boolean(v.name, d.*v.field);
    // "Editor" keeps a copy of the command; it only matters when "EditorA" is lost.
    out.text("Editor", d.editorA);
    out.text("EditorA", d.editorA);
    out.integer("BrowseComboBox", d.browseComboBox);
    out.integer("SearchThreads", d.searchThreads);
    out.text("TextEncoding", platform::codePageName(d.textEncoding));
    out.text("FallbackEncoding", d.fallbackEncoding ? platform::codePageName(*d.fallbackEncoding) : kAsBytes);
}

void loadDialogOptions(platform::SettingsStore& store, DialogSettings& d, const SettingsEnvironment& env) {
    const DialogSettings defaults = firstStartSettings(env).dialog;
    ValueReader in(store, kOptionsKey);
    for (const auto& v : kDialogBools) d.*v.field = in.boolean(v.name, defaults.*v.field);
    const std::string editor = in.text("Editor", defaultEditorBase(env));
    d.editorA = in.text("EditorA", editorCommandFrom(editor));
    d.browseComboBox = indexInRange(in.integer("BrowseComboBox", defaults.browseComboBox), 11, defaults.browseComboBox);
    d.searchThreads = indexInRange(in.integer("SearchThreads", defaults.searchThreads), kMaxSearchThreads + 1,
                                   defaults.searchThreads);
    // A name no encoding has (edited by hand, or from a later version) keeps the locale's.
    d.textEncoding = platform::parseCodePageName(in.text("TextEncoding", std::string())).value_or(defaults.textEncoding);
    // Only a single-byte page can be a fallback; anything else keeps the locale's.
    const std::string fallback = in.text("FallbackEncoding", std::string());
    const std::optional<platform::CodePageId> page = platform::parseCodePageName(fallback);
    d.fallbackEncoding = fallback == kAsBytes                                ? std::nullopt
                         : page && *page != platform::CodePageId::Utf8 ? page
                                                                            : defaults.fallbackEncoding;
    using D = DialogSettings;
    oneOf(d, {&D::winXPRadioButton, &D::unXPRadioButton, &D::macXPRadioButton}, &D::unXPRadioButton);
}

}  // namespace vsr::settings
