#include "ui/rules/control_rules.h"

namespace vsr::ui::rules {

using engine::ModificationType;
using engine::QueryType;
using engine::SearchType;
using results::ListTab;

namespace {

bool multiLineQuery(QueryType t) { return t == QueryType::Multiline || t == QueryType::RegExpr; }

bool takesText(ModificationType m) {
    return m == ModificationType::Replace || m == ModificationType::InsertBefore ||
           m == ModificationType::InsertAfter;
}

PageShape findShape(QueryType t) { return multiLineQuery(t) ? PageShape::FindMultiLine : PageShape::FindOneLine; }

// Works through one change in the order the window would, so that a later step sees what an
// earlier one did (lines reset before the list commands come back, for one).
class Pass {
public:
    explicit Pass(const WindowInputs& in)
        : in_(in), rowSelected_(in.rowSelected), viewerHasLines_(in.viewerHasLines) {}

    ControlStates run() {
        switch (in_.change) {
            case Change::QueryType: queryTypeChosen(); break;
            case Change::SearchType: searchTypeChosen(); break;
            case Change::ModificationType: modificationTypeChosen(in_.modificationType); break;
            case Change::SearchText: searchTextEdited(); break;
            case Change::FindText: findTextEdited(); break;
            case Change::CaseSensitive: caseOrWholeWords(false); break;
            case Change::WholeWords: caseOrWholeWords(true); break;
            case Change::MultilineOption: queryOption(QueryType::Multiline, viewerHasLines_); break;
            case Change::RegExprOption: queryOption(QueryType::RegExpr, in_.listHasRows); break;
            case Change::Options: optionsChanged(); break;
            case Change::SearchInResults: searchInResultsClicked(); break;
            case Change::TabShown: tabShown(); break;
            case Change::ReportMenu: out_.createReport = in_.page != Page::Options; break;
            case Change::ListCommands: listCommands(in_.withDeleteItems); break;
            case Change::RunBegins: runBegins(); break;
            case Change::RunEnds: runEnds(); break;
        }
        return out_;
    }

private:
    const WindowInputs& in_;
    ControlStates out_;
    bool rowSelected_;
    bool viewerHasLines_;

    bool modifyAllNow() const { return out_.modifyAll.value_or(in_.modifyAllAllowed); }
    bool conditionsChangedNow() const { return out_.conditionsChanged.value_or(in_.conditionsChanged); }
    bool modifyPendingNow() const { return out_.modifyPending.value_or(in_.modifyPending); }

    void setModify(bool selected, bool all) {
        out_.modifySelected = selected;
        out_.modifyAll = all;
    }

    void disableLineCommands() {
        out_.lineCommands = false;
        out_.saveLines = false;
    }

    void resetLines() {
        out_.resetLines = true;
        rowSelected_ = false;
        viewerHasLines_ = false;
        out_.deleteItems = false;
    }

    // A row of a list that `tab` built is selected and shows its found lines: they no longer
    // match the conditions.
    bool linesOfListFrom(ListTab tab) const {
        return in_.listHasRows && rowSelected_ && in_.listTab == tab && in_.foundColumn;
    }

    void dropLinesOfListFrom(ListTab tab) {
        if (!linesOfListFrom(tab)) return;
        disableLineCommands();
        resetLines();
    }

    void refreshIntervals(int mode) {
        const SearchType t = in_.searchType;
        IntervalDisplay d;
        d.mode = mode;
        d.inUse = (t == SearchType::Phrase && in_.phraseIntervals) ||
                  (t == SearchType::RegExpr && in_.eachLine && in_.regExprIntervals);
        d.modifiable = (in_.listTab == ListTab::SearchAndReplace && !conditionsChangedNow()) || modifyAllNow();
        out_.intervalDisplay = d;
    }

    // The conditions the list was built with are gone: it may not be modified.
    void conditionsLeftList() {
        out_.conditionsChanged = true;
        setModify(false, false);
    }

    // --- rule A ---
    void queryTypeChosen() {
        const bool multi = multiLineQuery(in_.queryType);
        if (in_.page == Page::Find) out_.wholeWordsVisible = !multi;
        out_.findMemoShown = multi;
        if (in_.page == Page::Find) out_.layout = Layout{findShape(in_.queryType), in_.listVisible};
        out_.placeFindControls = true;
        dropLinesOfListFrom(ListTab::Find);
    }

    // --- rule B ---
    void searchTypeChosen() {
        const SearchType t = in_.searchType;
        const bool multi = t != SearchType::Phrase;
        if (in_.page == Page::SearchAndReplace) out_.wholeWordsVisible = !multi;
        out_.searchMemosShown = multi;
        // Clearing a regular expression's matches has no meaning of its own; None stands in.
        out_.clearTypeEnabled = t != SearchType::RegExpr;
        if (t == SearchType::RegExpr && in_.modificationType == ModificationType::Clear) {
            out_.chooseNone = true;
            modificationTypeChosen(ModificationType::None);
        }
        conditionsLeftList();
        out_.modifyPending = false;
        dropLinesOfListFrom(ListTab::SearchAndReplace);
        if (in_.listHasRows) refreshIntervals(2);
        out_.placeSearchControls = true;
    }

    // --- rule C ---
    void modificationTypeChosen(ModificationType m) {
        out_.replacementEnabled = takesText(m) && !in_.busy;
        out_.replacementLabelsEnabled = takesText(m);
        if (m == ModificationType::None) {
            const bool allWasEnabled = modifyAllNow();
            setModify(false, false);
            if (allWasEnabled) out_.modifyPending = true;
        } else if (in_.listHasRows && modifyPendingNow() && !conditionsChangedNow()) {
            setModify(rowSelected_, true);
            out_.modifyPending = false;
        }
    }

    // --- rule D ---
    void searchTextEdited() {
        conditionsLeftList();
        out_.modifyPending = false;
        dropLinesOfListFrom(ListTab::SearchAndReplace);
        if (in_.page == Page::SearchAndReplace && in_.listHasRows) refreshIntervals(2);
    }

    void findTextEdited() {
        if (!linesOfListFrom(ListTab::Find)) return;
        out_.conditionsChanged = true;
        disableLineCommands();
        resetLines();
    }

    void caseOrWholeWords(bool wholeWords) {
        if (wholeWords) {
            // Whole Words only matters when the run's own tab shows its one-line field.
            const bool oneLine = (in_.listTab == ListTab::Find && !multiLineQuery(in_.queryType)) ||
                                 (in_.listTab == ListTab::SearchAndReplace && in_.searchType == SearchType::Phrase);
            if (!oneLine) return;
        }
        conditionsLeftList();
        if (in_.listHasRows && rowSelected_ && in_.foundColumn) {
            disableLineCommands();
            resetLines();
        }
        if (in_.page == Page::SearchAndReplace && in_.listHasRows) refreshIntervals(2);
    }

    // An option of one query kind changes only a list that a run of that kind built.
    void queryOption(QueryType kind, bool resetWhen) {
        if (in_.listQueryType != kind || !in_.foundColumn) return;
        conditionsLeftList();
        disableLineCommands();
        if (resetWhen) resetLines();
    }

    // --- rule E ---
    void optionsChanged() {
        out_.sizeFilterEnabled = in_.sizeFilter;
        out_.dateFilterEnabled = in_.dateFilter;
        out_.datePickersEnabled = in_.dateFilter && in_.dateBetween;
        out_.daysEnabled = in_.dateFilter && !in_.dateBetween;
        if (!in_.eachLine) out_.regExprIntervalsChecked = false;
        out_.regExprIntervalsEnabled = in_.eachLine;
    }

    void searchInResultsClicked() {
        out_.pathEnabled = !in_.searchInResults;
        if (in_.searchInResults) out_.eraseBackups = false;
        else if (in_.page == Page::SearchAndReplace) out_.eraseBackups = true;
    }

    // --- rule F ---
    // The list's commands after the selection or the shown tab changed; they are only ever
    // switched on here.
    void listCommands(bool withDeleteItems) {
        if (!in_.listHasRows) return;
        out_.saveList = true;
        if (!rowSelected_) return;
        out_.lineCommands = true;
        if (viewerHasLines_) out_.saveLines = true;
        if (withDeleteItems) out_.deleteItems = true;
    }

    void listGone() {
        disableLineCommands();
        out_.saveList = false;
    }

    void tabShown() {
        switch (in_.page) {
            case Page::Find: findTabShown(); break;
            case Page::SearchAndReplace: searchTabShown(); break;
            case Page::Options:
                out_.eraseBackups = false;
                out_.layout = Layout{PageShape::Options, false};
                listGone();
                break;
        }
    }

    void findTabShown() {
        out_.wholeWordsVisible = !multiLineQuery(in_.queryType);
        dropLinesOfListFrom(ListTab::SearchAndReplace);
        out_.modifySelected = false;
        out_.eraseBackups = false;
        out_.statusPanel2 = std::string();
        out_.layout = Layout{findShape(in_.queryType), in_.listActive};
        if (in_.listActive) {
            out_.clearFindEnabled = !in_.busy;
            listCommands(false);
        } else {
            disableLineCommands();
            out_.clearFindEnabled = false;
            out_.saveList = false;
        }
        out_.placeFindControls = true;
        if (in_.listHasRows) refreshIntervals(1);
    }

    void searchTabShown() {
        out_.wholeWordsVisible = in_.searchType == SearchType::Phrase;
        dropLinesOfListFrom(ListTab::Find);
        out_.eraseBackups = !in_.searchInResults;
        out_.statusPanel2 = in_.createBackups ? "Search Backup Files: Cannot" : "Search Backup Files: Can";
        out_.layout = Layout{PageShape::SearchAndReplace, in_.listActive};
        if (in_.listActive) {
            out_.clearSearchEnabled = !in_.busy;
            listCommands(true);
        } else {
            out_.modifyPending = false;
            listGone();
        }
        out_.placeSearchControls = true;
        if (in_.listHasRows) refreshIntervals(2);
    }

    // --- begin-of-run and end-of-run states: the controls that feed a run stay constant ---
    void runBegins() {
        out_.topPanelEnabled = false;
        out_.pathEnabled = false;
        out_.searchInResultsEnabled = false;
        out_.modifySelected = false;
        out_.deleteItems = false;
        disableLineCommands();
        out_.menusEnabled = false;
        out_.commandsSuspended = true;
        out_.otherTabHeadersVisible = false;
        out_.undoWasEnabled = in_.undoAllowed;
        out_.undo = false;
        out_.stopKeyLive = true;
        out_.clearSearchEnabled = false;
        if (in_.runTab == engine::Tab::Find) {
            out_.findControlsEnabled = false;
            out_.clearFindEnabled = false;
            out_.stopFindEnabled = true;
        } else {
            out_.searchControlsEnabled = false;
            out_.replacementEnabled = false;
            out_.replacementLabelsEnabled = false;
            out_.modifyAll = false;
            out_.stopSearchEnabled = true;
        }
    }

    void runEnds() {
        const bool rows = in_.listHasRows;
        out_.topPanelEnabled = true;
        out_.searchInResultsEnabled = rows;
        out_.pathEnabled = !(in_.searchInResults && rows);
        out_.menusEnabled = true;
        out_.commandsSuspended = false;
        out_.stopKeyLive = false;
        out_.otherTabHeadersVisible = true;
        if (in_.runTab == engine::Tab::Find) {
            out_.findControlsEnabled = true;
            out_.clearFindEnabled = true;
            out_.stopFindEnabled = false;
            // The other tab's Hide List was switched off with the run; it follows the list again.
            out_.clearSearchEnabled = in_.listVisible;
        } else {
            out_.searchControlsEnabled = true;
            out_.stopSearchEnabled = false;
            out_.clearSearchEnabled = rows && in_.listVisible;
            if (rows && in_.listVisible) {
                out_.deleteItems = rowSelected_;
                if (in_.modificationType != ModificationType::None && !in_.conditionsChanged && in_.foundColumn)
                    setModify(rowSelected_, true);
            }
            out_.clearTypeEnabled = in_.searchType != SearchType::RegExpr;
        }
        // The replacement fields and their labels follow the modification type again.
        out_.replacementEnabled = takesText(in_.modificationType);
        out_.replacementLabelsEnabled = takesText(in_.modificationType);
        if (in_.undoWasEnabled) out_.undo = true;
    }
};

}  // namespace

ControlStates controlStates(const WindowInputs& in) { return Pass(in).run(); }

}  // namespace vsr::ui::rules
