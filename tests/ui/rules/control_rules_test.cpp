// The window's control rules without a window: conditions and run state in, the states of
// the controls and commands out. Each row names its inputs in a few words and spells out
// every state the rule sets, so a rule that sets one control too many fails as well.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ui/rules/control_rules.h"

namespace vsr::ui::rules {
namespace {

using engine::ModificationType;
using engine::QueryType;
using engine::SearchType;
using results::ListTab;

// "page=sr search=regexpr mod=clear list=sr rows selected ..." as the window's inputs.
WindowInputs inputs(Change change, const std::string& words) {
    WindowInputs in;
    in.change = change;
    std::istringstream tokens(words);
    std::string w;
    while (tokens >> w) {
        const auto eq = w.find('=');
        const std::string key = w.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : w.substr(eq + 1);
        if (key == "page") in.page = value == "sr" ? Page::SearchAndReplace : value == "options" ? Page::Options : Page::Find;
        else if (key == "query") in.queryType = value == "multiline" ? QueryType::Multiline
                                              : value == "regexpr"   ? QueryType::RegExpr
                                              : value == "or"        ? QueryType::WordsOr
                                                                     : QueryType::Phrase;
        else if (key == "search") in.searchType = value == "multiline" ? SearchType::Multiline
                                                : value == "regexpr"   ? SearchType::RegExpr
                                                                       : SearchType::Phrase;
        else if (key == "mod") in.modificationType = value == "replace" ? ModificationType::Replace
                                                   : value == "clear"   ? ModificationType::Clear
                                                   : value == "before"  ? ModificationType::InsertBefore
                                                   : value == "after"   ? ModificationType::InsertAfter
                                                   : value == "delete"  ? ModificationType::Delete
                                                                        : ModificationType::None;
        else if (key == "list") in.listTab = value == "sr" ? ListTab::SearchAndReplace : ListTab::Find;
        else if (key == "listQuery") in.listQueryType = value == "regexpr" ? QueryType::RegExpr : QueryType::Multiline;
        else if (key == "runSR") in.runTab = engine::Tab::SearchAndReplace;
        else if (key == "inResults") in.searchInResults = true;
        else if (key == "backups") in.createBackups = true;
        else if (key == "size") in.sizeFilter = true;
        else if (key == "date") in.dateFilter = true;
        else if (key == "newer") in.dateBetween = false;
        else if (key == "eachLine") in.eachLine = true;
        else if (key == "regexIntervals") in.regExprIntervals = true;
        else if (key == "phraseIntervals") in.phraseIntervals = true;
        else if (key == "busy") in.busy = true;
        else if (key == "active") in.listActive = true;
        else if (key == "visible") in.listVisible = true;
        else if (key == "rows") in.listHasRows = true;
        else if (key == "selected") in.rowSelected = true;
        else if (key == "lines") in.viewerHasLines = true;
        else if (key == "noFound") in.foundColumn = false;
        else if (key == "withDelete") in.withDeleteItems = true;
        else if (key == "changed") in.conditionsChanged = true;
        else if (key == "pending") in.modifyPending = true;
        else if (key == "undoWas") in.undoWasEnabled = true;
        else if (key == "modifyAll") in.modifyAllAllowed = true;
        else if (key == "undo") in.undoAllowed = true;
        else ADD_FAILURE() << "unknown input word " << w;
    }
    return in;
}

// Every state the rules set, in a fixed order: "name" for on, "!name" for off.
std::string describe(const ControlStates& s) {
    std::vector<std::string> parts;
    auto set = [&](const char* name, const Set& v) {
        if (v) parts.push_back(*v ? std::string(name) : "!" + std::string(name));
    };
    auto flag = [&](const char* name, bool v) {
        if (v) parts.emplace_back(name);
    };
    set("wholeWords", s.wholeWordsVisible);
    set("findMemo", s.findMemoShown);
    set("searchMemos", s.searchMemosShown);
    set("otherTabs", s.otherTabHeadersVisible);
    flag("chooseNone", s.chooseNone);
    set("regexIntervalsChecked", s.regExprIntervalsChecked);
    set("clearType", s.clearTypeEnabled);
    set("replacement", s.replacementEnabled);
    set("replacementLabels", s.replacementLabelsEnabled);
    set("sizeFilter", s.sizeFilterEnabled);
    set("dateFilter", s.dateFilterEnabled);
    set("datePickers", s.datePickersEnabled);
    set("days", s.daysEnabled);
    set("regexIntervals", s.regExprIntervalsEnabled);
    set("path", s.pathEnabled);
    set("topPanel", s.topPanelEnabled);
    set("inResults", s.searchInResultsEnabled);
    set("findControls", s.findControlsEnabled);
    set("searchControls", s.searchControlsEnabled);
    set("clearFind", s.clearFindEnabled);
    set("clearSearch", s.clearSearchEnabled);
    set("stopFind", s.stopFindEnabled);
    set("stopSearch", s.stopSearchEnabled);
    set("stopKey", s.stopKeyLive);
    set("menus", s.menusEnabled);
    set("suspended", s.commandsSuspended);
    set("modifySelected", s.modifySelected);
    set("modifyAll", s.modifyAll);
    set("deleteItems", s.deleteItems);
    set("eraseBackups", s.eraseBackups);
    set("saveList", s.saveList);
    set("createReport", s.createReport);
    set("undo", s.undo);
    set("lineCommands", s.lineCommands);
    set("saveLines", s.saveLines);
    set("changed", s.conditionsChanged);
    set("pending", s.modifyPending);
    set("undoWas", s.undoWasEnabled);
    flag("resetLines", s.resetLines);
    if (s.statusPanel2) parts.push_back("status2='" + *s.statusPanel2 + "'");
    if (s.layout) {
        static const char* const shapes[] = {"findOne", "findMulti", "sr", "options"};
        parts.push_back(std::string("layout=") + shapes[int(s.layout->shape)] + (s.layout->withList ? "+list" : ""));
    }
    flag("placeFind", s.placeFindControls);
    flag("placeSearch", s.placeSearchControls);
    if (s.intervalDisplay)
        parts.push_back("intervals=" + std::to_string(s.intervalDisplay->mode) +
                        (s.intervalDisplay->inUse ? "+inUse" : "") +
                        (s.intervalDisplay->modifiable ? "+modifiable" : ""));
    std::string text;
    for (const std::string& p : parts) text += (text.empty() ? "" : " ") + p;
    return text;
}

struct Row {
    const char* what;
    Change change;
    const char* in;
    const char* out;
};

void check(const std::vector<Row>& table) {
    for (const Row& row : table)
        EXPECT_EQ(describe(controlStates(inputs(row.change, row.in))), row.out) << row.what << " [" << row.in << "]";
}

// A selected row of a Search-and-Replace list whose Found lines are shown.
#define SR_LIST "list=sr active visible rows selected lines "
#define FIND_LIST "list=find active visible rows selected lines "

TEST(ControlRules, QueryAndModificationTypes) {
    check({
        // Rule A.
        {"A: Multiline hides Whole Words and shows the memo", Change::QueryType, "page=find query=multiline",
         "!wholeWords findMemo layout=findMulti placeFind"},
        {"A: a one-line type keeps the list shown", Change::QueryType, "page=find query=or visible",
         "wholeWords !findMemo layout=findOne+list placeFind"},
        {"A: off the Find tab only the field follows", Change::QueryType, "page=options query=regexpr",
         "findMemo placeFind"},
        {"A: the lines of a Find list go", Change::QueryType, "page=find query=regexpr " FIND_LIST,
         "!wholeWords findMemo !deleteItems !lineCommands !saveLines resetLines layout=findMulti+list placeFind"},
        {"A: a Search-and-Replace list keeps its lines", Change::QueryType, "page=find " SR_LIST,
         "wholeWords !findMemo layout=findOne+list placeFind"},
        {"A: without the Found column the lines stay", Change::QueryType, "page=find noFound " FIND_LIST,
         "wholeWords !findMemo layout=findOne+list placeFind"},

        // Rule B.
        {"B: Reg Expr with Clear chosen falls back to None", Change::SearchType,
         "page=sr search=regexpr mod=clear modifyAll",
         "!wholeWords searchMemos chooseNone !clearType !replacement !replacementLabels !modifySelected !modifyAll "
         "changed !pending placeSearch"},
        {"B: Reg Expr with Replace keeps it", Change::SearchType, "page=sr search=regexpr mod=replace",
         "!wholeWords searchMemos !clearType !modifySelected !modifyAll changed !pending placeSearch"},
        {"B: Phrase on a list refreshes its intervals", Change::SearchType,
         "page=sr search=phrase phraseIntervals " SR_LIST,
         "wholeWords !searchMemos clearType !modifySelected !modifyAll !deleteItems !lineCommands !saveLines changed "
         "!pending resetLines placeSearch intervals=2+inUse"},
        {"B: off its tab Whole Words stays; a Find list keeps its lines", Change::SearchType,
         "page=find search=multiline " FIND_LIST,
         "searchMemos clearType !modifySelected !modifyAll changed !pending placeSearch intervals=2"},

        // Rule C.
        {"C: None while Modify All was on remembers it", Change::ModificationType, "mod=none rows modifyAll",
         "!replacement !replacementLabels !modifySelected !modifyAll pending"},
        {"C: None with Modify All off", Change::ModificationType, "mod=none rows",
         "!replacement !replacementLabels !modifySelected !modifyAll"},
        {"C: Replace on a pending list enables both", Change::ModificationType, "mod=replace rows selected pending",
         "replacement replacementLabels modifySelected modifyAll !pending"},
        {"C: Clear without a selection: only Modify All", Change::ModificationType, "mod=clear rows pending",
         "!replacement !replacementLabels !modifySelected modifyAll !pending"},
        {"C: changed conditions keep Modify off", Change::ModificationType,
         "mod=after rows selected pending changed", "replacement replacementLabels"},
        {"C: nothing pending leaves Modify as it is", Change::ModificationType, "mod=delete rows selected",
         "!replacement !replacementLabels"},
        {"C: no rows", Change::ModificationType, "mod=before pending", "replacement replacementLabels"},
        {"C: a run keeps the replacement disabled", Change::ModificationType, "mod=replace busy",
         "!replacement replacementLabels"},
    });
}

TEST(ControlRules, EditsAfterAListWasBuilt) {
    check({
        {"D: the search text forbids modifying", Change::SearchText, "page=sr " SR_LIST,
         "!modifySelected !modifyAll !deleteItems !lineCommands !saveLines changed !pending resetLines intervals=2"},
        {"D: the search text on the Find tab: no interval refresh", Change::SearchText, "page=find " FIND_LIST,
         "!modifySelected !modifyAll changed !pending"},
        {"D: modifiable intervals come from Modify All", Change::SearchText, "page=sr rows list=find",
         "!modifySelected !modifyAll changed !pending intervals=2"},
        {"D: the Find query drops the lines of a Find list", Change::FindText, FIND_LIST,
         "!deleteItems !lineCommands !saveLines changed resetLines"},
        {"D: the Find query leaves a Search-and-Replace list alone", Change::FindText, SR_LIST, ""},
        {"D: the Find query without a selection", Change::FindText, "list=find rows", ""},
        {"D: Case Sensitive", Change::CaseSensitive, "page=sr " FIND_LIST,
         "!modifySelected !modifyAll !deleteItems !lineCommands !saveLines changed resetLines intervals=2"},
        {"D: Case Sensitive without the Found column", Change::CaseSensitive, "page=find noFound " FIND_LIST,
         "!modifySelected !modifyAll changed"},
        {"D: Whole Words of a one-line Find run", Change::WholeWords, "page=find query=phrase " FIND_LIST,
         "!modifySelected !modifyAll !deleteItems !lineCommands !saveLines changed resetLines"},
        {"D: Whole Words of a Multiline Find run changes nothing", Change::WholeWords,
         "page=find query=multiline " FIND_LIST, ""},
        {"D: Whole Words follows the run's tab, not the shown one", Change::WholeWords,
         "page=find query=multiline search=phrase " SR_LIST,
         "!modifySelected !modifyAll !deleteItems !lineCommands !saveLines changed resetLines"},
        {"D: Whole Words of a Reg Expr Search-and-Replace run", Change::WholeWords, "page=sr search=regexpr " SR_LIST,
         ""},
        {"D: Whole Words before any run", Change::WholeWords, "page=find", ""},
        {"D: trimming after a Multiline run", Change::MultilineOption, "listQuery=multiline " SR_LIST,
         "!modifySelected !modifyAll !deleteItems !lineCommands !saveLines changed resetLines"},
        {"D: trimming with an empty viewer keeps the selection", Change::MultilineOption,
         "listQuery=multiline list=sr rows selected",
         "!modifySelected !modifyAll !lineCommands !saveLines changed"},
        {"D: trimming after a Reg Expr run changes nothing", Change::MultilineOption, "listQuery=regexpr " SR_LIST, ""},
        {"D: a Reg Expr option after a Reg Expr run", Change::RegExprOption, "listQuery=regexpr list=sr rows",
         "!modifySelected !modifyAll !deleteItems !lineCommands !saveLines changed resetLines"},
        {"D: a Reg Expr option without the Found column", Change::RegExprOption, "listQuery=regexpr noFound rows",
         ""},
        {"D: a Reg Expr option before any run", Change::RegExprOption, "", ""},
    });
}

TEST(ControlRules, OptionsAndListCommands) {
    check({
        // Rule E.
        {"E: every filter off", Change::Options, "",
         "!regexIntervalsChecked !sizeFilter !dateFilter !datePickers !days !regexIntervals"},
        {"E: size and dates between", Change::Options, "size date",
         "!regexIntervalsChecked sizeFilter dateFilter datePickers !days !regexIntervals"},
        {"E: dates newer than, each line", Change::Options, "date newer eachLine",
         "!sizeFilter dateFilter !datePickers days regexIntervals"},
        {"E: Newer than with the date filter off", Change::Options, "newer eachLine regexIntervals",
         "!sizeFilter !dateFilter !datePickers !days regexIntervals"},
        {"E: Search in Results on", Change::SearchInResults, "page=sr inResults", "!path !eraseBackups"},
        {"E: Search in Results off on the Search and Replace tab", Change::SearchInResults, "page=sr",
         "path eraseBackups"},
        {"E: Search in Results off on the Find tab", Change::SearchInResults, "page=find", "path"},
        {"E: Search in Results off on the Options tab", Change::SearchInResults, "page=options", "path"},
        {"the Report menu on the Options tab", Change::ReportMenu, "page=options", "!createReport"},
        {"the Report menu elsewhere", Change::ReportMenu, "page=sr", "createReport"},

        // The list's commands follow the selection; they are only switched on.
        {"no rows", Change::ListCommands, "selected lines withDelete", ""},
        {"rows without a selection", Change::ListCommands, "rows", "saveList"},
        {"a selected row", Change::ListCommands, "rows selected", "saveList lineCommands"},
        {"a selected row with lines, Delete Items too", Change::ListCommands, "rows selected lines withDelete",
         "deleteItems saveList lineCommands saveLines"},
    });
}

TEST(ControlRules, ShowingATab) {
    check({
        {"F: Find tab before any run", Change::TabShown, "page=find",
         "wholeWords !clearFind !modifySelected !eraseBackups !saveList !lineCommands !saveLines status2='' "
         "layout=findOne placeFind"},
        {"F: Find tab over a Search-and-Replace list", Change::TabShown, "page=find query=regexpr " SR_LIST,
         "!wholeWords clearFind !modifySelected !deleteItems !eraseBackups saveList !lineCommands !saveLines "
         "resetLines status2='' layout=findMulti+list placeFind intervals=1+modifiable"},
        {"F: Find tab over its own list during a run", Change::TabShown, "page=find busy " FIND_LIST,
         "wholeWords !clearFind !modifySelected !eraseBackups saveList lineCommands saveLines status2='' "
         "layout=findOne+list placeFind intervals=1"},
        {"F: Search and Replace tab before any run", Change::TabShown, "page=sr pending",
         "wholeWords eraseBackups !saveList !lineCommands !saveLines !pending "
         "status2='Search Backup Files: Can' layout=sr placeSearch"},
        {"F: Search and Replace tab over a Find list", Change::TabShown,
         "page=sr search=multiline backups inResults " FIND_LIST,
         "!wholeWords clearSearch !deleteItems !eraseBackups saveList !lineCommands !saveLines resetLines "
         "status2='Search Backup Files: Cannot' layout=sr+list placeSearch intervals=2"},
        {"F: Search and Replace tab over its own list", Change::TabShown,
         "page=sr search=regexpr eachLine regexIntervals changed " SR_LIST,
         "!wholeWords clearSearch deleteItems eraseBackups saveList lineCommands saveLines "
         "status2='Search Backup Files: Can' layout=sr+list placeSearch intervals=2+inUse"},
        {"F: Modify All keeps the intervals modifiable", Change::TabShown, "page=sr list=find rows active modifyAll",
         "wholeWords clearSearch eraseBackups saveList status2='Search Backup Files: Can' layout=sr+list placeSearch "
         "intervals=2+modifiable"},
        {"F: Options tab", Change::TabShown, "page=options " SR_LIST,
         "!eraseBackups !saveList !lineCommands !saveLines layout=options"},
    });
}

TEST(ControlRules, BeginAndEndOfRun) {
    check({
        {"a Find run begins", Change::RunBegins, "undo rows selected",
         "!otherTabs !path !topPanel !inResults !findControls !clearFind !clearSearch stopFind stopKey !menus "
         "suspended !modifySelected !deleteItems !undo !lineCommands !saveLines undoWas"},
        {"a Search-and-Replace run begins", Change::RunBegins, "runSR mod=replace",
         "!otherTabs !replacement !replacementLabels !path !topPanel !inResults !searchControls !clearSearch "
         "stopSearch stopKey !menus suspended !modifySelected !modifyAll !deleteItems !undo !lineCommands "
         "!saveLines !undoWas"},
        {"a Find run ends with rows, in results", Change::RunEnds, "rows visible inResults mod=replace undoWas",
         "otherTabs replacement replacementLabels !path topPanel inResults findControls clearFind clearSearch "
         "!stopFind !stopKey menus !suspended undo"},
        {"a Find run ends without rows", Change::RunEnds, "inResults",
         "otherTabs !replacement !replacementLabels path topPanel !inResults findControls clearFind !clearSearch "
         "!stopFind !stopKey menus !suspended"},
        {"a Search-and-Replace run ends: the list may be modified", Change::RunEnds,
         "runSR mod=replace rows visible selected",
         "otherTabs clearType replacement replacementLabels path topPanel inResults searchControls clearSearch "
         "!stopSearch !stopKey menus !suspended modifySelected modifyAll deleteItems"},
        {"a Search-and-Replace run ends after the conditions changed", Change::RunEnds,
         "runSR mod=clear search=regexpr rows visible changed",
         "otherTabs !clearType !replacement !replacementLabels path topPanel inResults searchControls clearSearch "
         "!stopSearch !stopKey menus !suspended !deleteItems"},
        {"a Search-and-Replace run ends with None", Change::RunEnds, "runSR rows visible selected",
         "otherTabs clearType !replacement !replacementLabels path topPanel inResults searchControls clearSearch "
         "!stopSearch !stopKey menus !suspended deleteItems"},
        {"a Search-and-Replace run ends without its Found column", Change::RunEnds,
         "runSR mod=delete rows visible selected noFound",
         "otherTabs clearType !replacement !replacementLabels path topPanel inResults searchControls clearSearch "
         "!stopSearch !stopKey menus !suspended deleteItems"},
        {"a Search-and-Replace run ends with the list hidden", Change::RunEnds, "runSR mod=replace rows selected",
         "otherTabs clearType replacement replacementLabels path topPanel inResults searchControls !clearSearch "
         "!stopSearch !stopKey menus !suspended"},
    });
}

// What must hold whatever happened, over every combination of the inputs that matter.
TEST(ControlRules, NoChangeBreaksTheWindowsInvariants) {
    const Change changes[] = {Change::QueryType,       Change::SearchType,    Change::ModificationType,
                              Change::SearchText,      Change::FindText,      Change::CaseSensitive,
                              Change::WholeWords,      Change::MultilineOption, Change::RegExprOption,
                              Change::Options,         Change::SearchInResults, Change::TabShown,
                              Change::ReportMenu,      Change::ListCommands,  Change::RunBegins,
                              Change::RunEnds};
    const ListTab listTabs[] = {ListTab::None, ListTab::Find, ListTab::SearchAndReplace};
    const ModificationType mods[] = {ModificationType::None, ModificationType::Replace, ModificationType::Clear};
    const Page pages[] = {Page::Find, Page::SearchAndReplace, Page::Options};
    int failures = 0;
    for (Change change : changes)
        for (unsigned bits = 0; bits < (1u << 12); ++bits)
            for (ListTab listTab : listTabs)
                for (ModificationType mod : mods)
                    for (Page page : pages) {
                        WindowInputs in;
                        in.change = change;
                        in.page = page;
                        in.listTab = listTab;
                        in.modificationType = mod;
                        in.listHasRows = bits & 1;
                        in.rowSelected = bits & 2;
                        in.viewerHasLines = bits & 4;
                        in.foundColumn = bits & 8;
                        in.conditionsChanged = bits & 16;
                        in.modifyPending = bits & 32;
                        in.modifyAllAllowed = bits & 64;
                        in.busy = bits & 128;
                        in.listActive = bits & 256;
                        in.searchInResults = bits & 512;
                        in.searchType = bits & 1024 ? SearchType::RegExpr : SearchType::Phrase;
                        in.queryType = bits & 2048 ? QueryType::Multiline : QueryType::Phrase;
                        in.listQueryType = bits & 2048 ? QueryType::Multiline : QueryType::RegExpr;
                        in.withDeleteItems = page == Page::SearchAndReplace;
                        const ControlStates s = controlStates(in);
                        const bool changed = s.conditionsChanged.value_or(in.conditionsChanged);
                        const ModificationType modNow = s.chooseNone ? ModificationType::None : mod;
                        std::vector<const char*> broken;
                        if (s.modifyAll == true && (modNow == ModificationType::None || changed || !in.listHasRows))
                            broken.push_back("Modify All on for a list that may not be modified");
                        if (s.modifySelected == true && (!in.rowSelected || s.modifyAll != true))
                            broken.push_back("Modify Selected on without a selection or Modify All");
                        if (s.resetLines && (s.deleteItems != false || s.lineCommands == true || s.saveLines == true))
                            broken.push_back("a command on lines left on after the lines went");
                        if (s.saveLines == true && (!in.viewerHasLines || s.lineCommands != true))
                            broken.push_back("Save Lines on without lines");
                        if (s.eraseBackups == true && (in.searchInResults || page != Page::SearchAndReplace))
                            broken.push_back("Erase Backups on while it may not run");
                        if (in.busy && change != Change::RunEnds &&
                            (s.replacementEnabled == true || s.clearFindEnabled == true || s.clearSearchEnabled == true))
                            broken.push_back("a control that feeds the run enabled while it runs");
                        const bool runState = change == Change::RunBegins || change == Change::RunEnds;
                        if (!runState && (s.menusEnabled || s.commandsSuspended || s.topPanelEnabled ||
                                          s.otherTabHeadersVisible || s.stopKeyLive || s.findControlsEnabled ||
                                          s.searchControlsEnabled || s.undo))
                            broken.push_back("a rule reached into the run state");
                        for (const char* what : broken)
                            if (++failures <= 20) ADD_FAILURE() << what << " after change " << int(change)
                                                                << " bits " << bits << " page " << int(page)
                                                                << " list " << int(listTab) << " mod " << int(mod);
                    }
    EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace vsr::ui::rules
