#pragma once
// The rules that keep the window's controls consistent with its conditions, as one pure
// function: what just happened and what the window holds now go in, the states the
// controls and commands take go out. The window gathers the value and applies the result.
#include <optional>
#include <string>

#include "engine/query/search_conditions.h"
#include "results/status_texts.h"

namespace vsr::ui::rules {

// What just happened. Each rule acts on the consequences of one click, edit or state change,
// and leaves every control it does not govern as it is.
enum class Change {
    QueryType,         // a query type of the Find tab was chosen (rule A)
    SearchType,        // a search type of the Search and Replace tab was chosen (rule B)
    ModificationType,  // a modification type was chosen (rule C)
    SearchText,        // the search text was edited, or "Create Backups" changed (rule D)
    FindText,          // the Find query was edited
    CaseSensitive,     // "Case Sensitive" was clicked, or the text encoding changed
    WholeWords,        // "Whole Words" was clicked
    MultilineOption,   // "Ignore Leading Spaces" or "Ignore Trailing Spaces"
    RegExprOption,     // one of the options of a Reg Expr query
    Options,           // a size, date or "Search within Each Single Line " box (rule E)
    SearchInResults,   // "Search in Results" was clicked
    TabShown,          // a tab is shown now (rule F)
    ReportMenu,        // the Report menu opens
    ListCommands,      // the list's selection changed: its commands follow
    RunBegins,         // begin-of-run state of `runTab`
    RunEnds,           // end-of-run state of `runTab`
};

enum class Page { Find, SearchAndReplace, Options };

// The tab page's height and whether the list, splitter, Lines Viewer and status bar show.
enum class PageShape { FindOneLine, FindMultiLine, SearchAndReplace, Options };
struct Layout {
    PageShape shape = PageShape::FindOneLine;
    bool withList = false;
    bool operator==(const Layout&) const = default;
};

// The window's conditions and run state, as far as the rules read them.
struct WindowInputs {
    Change change = Change::TabShown;
    Page page = Page::Find;
    engine::QueryType queryType = engine::QueryType::Phrase;
    engine::SearchType searchType = engine::SearchType::Phrase;
    engine::ModificationType modificationType = engine::ModificationType::None;

    bool searchInResults = false;  // ListXPCheckBox
    bool createBackups = false;
    bool sizeFilter = false;       // "File Size "
    bool dateFilter = false;       // "File Date "
    bool dateBetween = true;       // "Between" rather than "Newer than"
    bool eachLine = false;         // "Search within Each Single Line "
    bool regExprIntervals = false; // "Use Modification Intervals for the Listed Files"
    bool phraseIntervals = false;  // "Use Modification Intervals" of a phrase

    bool busy = false;
    engine::Tab runTab = engine::Tab::Find;  // the tab of the run that begins or ends

    results::ListTab listTab = results::ListTab::None;  // the tab whose run built the list
    std::optional<engine::QueryType> listQueryType;     // the query kind of that run
    bool listActive = false;     // a search ran and its list was not hidden since
    bool listVisible = false;
    bool listHasRows = false;
    bool rowSelected = false;
    bool viewerHasLines = false;
    bool foundColumn = true;     // the list has its Found column
    bool withDeleteItems = false;  // ListCommands: "Delete Items" follows the selection too

    bool conditionsChanged = false;
    bool modifyPending = false;
    bool undoWasEnabled = false;
    bool modifyAllAllowed = false;  // the rules allowed "Modify All" until now
    bool undoAllowed = false;
};

// nullopt: the rule leaves the control, command or field as it is.
using Set = std::optional<bool>;

struct IntervalDisplay {
    int mode = 1;        // the list's interval display mode
    bool inUse = false;  // the query type marks modification intervals
    bool modifiable = false;  // the list may still be modified
    bool operator==(const IntervalDisplay&) const = default;
};

// The states the rules give the window's controls and commands, and the window's own
// fields they change.
struct ControlStates {
    // Shown.
    Set wholeWordsVisible;
    Set findMemoShown;      // FindMemo rather than FindEditComboBox
    Set searchMemosShown;   // SearchMemo and Memo2 rather than SearchEdit and Edit2
    Set otherTabHeadersVisible;  // the tab headers other than the run's own

    // Checked.
    bool chooseNone = false;           // the modification type becomes None
    Set regExprIntervalsChecked;

    // Enabled.
    Set clearTypeEnabled;              // the "Clear" modification type
    Set replacementEnabled;            // Edit2, Memo2
    Set replacementLabelsEnabled;      // "To", "Replace", "or Insert"
    Set sizeFilterEnabled;             // "Minimum", "Maximum", the size, its unit, "Size:"
    Set dateFilterEnabled;             // "Between", "Newer than" and their labels
    Set datePickersEnabled;
    Set daysEnabled;
    Set regExprIntervalsEnabled;
    Set pathEnabled;                   // ComboBoxPath
    Set topPanelEnabled;               // masks, "Browse...", the labels, "Case Sensitive", "Whole Words"
    Set searchInResultsEnabled;
    Set findControlsEnabled;           // "Find", the query types, the query fields and labels
    Set searchControlsEnabled;         // "Search", the search and modification types, the search field
    Set clearFindEnabled;              // "Hide List" of the Find tab
    Set clearSearchEnabled;            // "Hide List" of the Search and Replace tab
    Set stopFindEnabled;
    Set stopSearchEnabled;
    Set stopKeyLive;                   // Escape stops the run
    Set menusEnabled;                  // File, Help, Project and Report
    Set commandsSuspended;             // no key reaches a command

    // Commands.
    Set modifySelected;
    Set modifyAll;
    Set deleteItems;
    Set eraseBackups;
    Set saveList;
    Set createReport;
    Set undo;
    Set lineCommands;                  // Edit File, Browse Context, Execute File
    Set saveLines;

    // The window's own state.
    Set conditionsChanged;
    Set modifyPending;
    Set undoWasEnabled;
    bool resetLines = false;           // empty the Lines Viewer, deselect every row
    std::optional<std::string> statusPanel2;
    std::optional<Layout> layout;
    bool placeFindControls = false;
    bool placeSearchControls = false;
    std::optional<IntervalDisplay> intervalDisplay;
};

ControlStates controlStates(const WindowInputs& in);

}  // namespace vsr::ui::rules
