#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/code_page.h"

namespace vsr::settings {

// Everything the settings store keeps between runs, as plain values. The main
// window, the settings dialogs, the project loader and the command line map their
// controls to and from these records; fields are named after the stored value names.
//
// Multi-line texts (memos, ignore lists) hold their line breaks as "\n"; the text
// files use CR LF. Dates are day numbers: days since 30 December 1899 (day 0).
// A default-constructed record has no dates, window position or editor yet:
// firstStartSettings() gives the complete first-start values.

// One combo box with history: its current text and its drop-down list.
struct HistoryList {
    std::string text;
    std::vector<std::string> items;

    bool operator==(const HistoryList&) const = default;
};

struct HistoryLists {
    HistoryList comboBoxPath;      // the folder to search
    HistoryList findEditComboBox;  // the Find tab's one-line query
    HistoryList searchEdit;        // the Search and Replace tab's one-line search text
    HistoryList edit2;             // the one-line replacement text
    HistoryList masksComboBox;     // the file masks

    bool operator==(const HistoryLists&) const = default;
};

// The three memos of the tabs, kept in "FindMemo.tmp", "SearchMemo.tmp", "ReplaceMemo.tmp".
struct MemoTexts {
    std::string findMemo;
    std::string searchMemo;
    std::string memo2;  // the multi-line replacement text

    bool operator==(const MemoTexts&) const = default;
};

// The "Options" values that the main window owns.
struct MainOptions {
    bool sensitiveCheckBox = false;
    bool wholeWordsCheckBox = false;

    // Find tab query type: exactly one is on.
    bool phraseButton = true;
    bool wordsorButton = false;
    bool wordsandButton = false;
    bool complexButton = false;  // "Search Engine", the radio button AltaVistaButton
    bool textButton = false;
    bool regExpFind = false;

    // Search and Replace tab search type.
    bool regExpSearch = false;
    bool phraseButtonReplace = true;
    bool textSearchButton = false;

    // Modification type.
    bool noneButton = false;
    bool replaceButton = true;
    bool replaceSpacesButton = false;  // "Clear"
    bool insertButton = false;
    bool insertAfterButton = false;
    bool deleteButton = false;

    bool creatBackupCheckBox = true;
    // "Preview": the Lines Viewer shows the lines as Modify will write them. Off until turned on.
    bool previewCheckBox = false;
    // "Search in archives and documents" on the Find tab. Off until turned on.
    bool archivesCheckBox = false;
    bool phraseXPCheckBox = false;
    bool regExprXPCheckBox = false;
    // The window enables this box only while regExprXPCheckBox is on.
    bool modifyXPCheckBox = false;
    bool trimLeftCheckBox = true;
    bool trimRightCheckBox = true;
    bool expPointCheckBox = false;
    bool expSpaceCheckBox = false;
    bool includeSubdirectoriesCheckBox = true;

    // Size and date filters.
    bool allSizeCheckBox = false;
    bool allDateCheckBox = false;
    bool minimumRadioButton = false;  // AllLeastRadioButton
    bool maximumRadioButton = true;   // AllMostRadioButton
    bool betweenRadioButton = true;
    bool newestRadioButton = false;
    int sizeSpinEdit = 100;
    int kbComboBox = 0;  // 0 "KB", 1 "MB"
    int minDateTimePicker = 0;  // day number of the lower date of "Between"
    int maxDateTimePicker = 0;  // day number of the upper date
    int daysAgoSpinEdit = 2;
    // Enabled states of the filter labels.
    bool size = false;
    bool last = false;
    bool andop = false;
    bool days = false;

    // Results-list column widths in pixels.
    int columnName = 96;
    int columnPath = 165;
    int columnFound = 42;
    int columnAttributes = 45;
    int columnTime = 83;
    int columnSize = 56;
    int columnType = 60;
    int columnResult = 65;

    // Start folders of the file dialogs; empty means the dialog's own default.
    std::string initialDir;             // "Save List"
    std::string initialDirV;            // "Save Lines"
    std::string initialDirOpenEditor;   // picking the editor program
    std::string initialDirOpenProject;  // "Open Project"
    std::string initialDirSaveProject;  // "Save Project"
    std::string initialDirwCopy;        // last target of Copy Files
    std::string initialDirwIgnPath;     // last folder picked for the directory ignore list

    // Main window: the last normal (not maximized) bounds, the height with the list shown.
    int findWidth = 646;
    int findHeight = 455;
    int findListViewHeight = 76;
    int findLeft = 0;
    int findTop = 0;
    bool maxFind = false;
    int nomTab = 1;  // 1 Find, 2 Search and Replace, anything else Options

    bool operator==(const MainOptions&) const = default;
};

// The values of the settings dialog and the two ignore-list dialogs.
// The largest "Search threads" value kept; more would only contend for the disk.
inline constexpr int kMaxSearchThreads = 64;

struct DialogSettings {
    std::string editorA;  // the editor command line with its placeholders
    // Line separator of modified files: exactly one is on.
    // Linux starts with its own LF; the three choices stay.
    bool winXPRadioButton = false;  // CR LF
    bool unXPRadioButton = true;    // LF
    bool macXPRadioButton = false;  // CR
    int browseComboBox = 3;  // index into "1", "2", "3", "5", "10", "15", "20", "30", "50", "100", "All"
    bool ignorePathsXPCh = false;
    bool ignoreFilesXPCh = false;
    bool gitignoreXPCh = false;  // "Skip what .gitignore ignores", both tabs
    bool indexFolderXPCh = false;  // "Index this folder for fast searches", both tabs
    bool readOnly = false;
    bool replaceHiddenCheckBox = false;
    bool ignoreSubFoldXPCh = false;
    std::string directIgnoreList;  // PathsMemo, one folder pattern per line
    std::string fileIgnoreList;    // FilesMemo, one mask per line
    int searchThreads = 0;  // threads that examine file contents; 0 = "Automatic" (one per processor)
    // The encoding of typed texts, of the files searched and of the files the program writes;
    // a first start takes the locale's.
    platform::CodePageId textEncoding = platform::CodePageId::Utf8;
    // "Files that are not UTF-8:" under a UTF-8 text encoding, the page such a file is read in;
    // none: "as bytes". A first start takes the one the locale's language suggests.
    std::optional<platform::CodePageId> fallbackEncoding = platform::CodePageId::Windows1252;

    bool operator==(const DialogSettings&) const = default;
};

struct StoredSettings {
    HistoryLists history;
    MemoTexts memos;
    MainOptions options;
    DialogSettings dialog;

    bool operator==(const StoredSettings&) const = default;
};

}  // namespace vsr::settings
