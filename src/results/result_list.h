#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "results/result_item.h"
#include "results/row_store.h"
#include "results/status_texts.h"

namespace vsr::results {

// Told about every change of a ResultList, so a view can follow without polling.
class ResultListObserver {
public:
    virtual ~ResultListObserver() = default;
    virtual void rowsReset() {}                 // cleared, reordered or rows removed
    virtual void rowAdded(std::size_t index) {}
    virtual void rowChanged(std::size_t index) {}
    virtual void columnsChanged() {}
};

// The rows of a list in order, for range-for loops.
class RowRange {
public:
    using Rows = std::vector<ResultItem*>;
    class iterator {
    public:
        explicit iterator(Rows::const_iterator at) : at_(at) {}
        const ResultItem& operator*() const { return **at_; }
        const ResultItem* operator->() const { return *at_; }
        iterator& operator++() {
            ++at_;
            return *this;
        }
        bool operator==(const iterator&) const = default;

    private:
        Rows::const_iterator at_;
    };
    explicit RowRange(const Rows& rows) : rows_(rows) {}
    iterator begin() const { return iterator(rows_.begin()); }
    iterator end() const { return iterator(rows_.end()); }
    std::size_t size() const { return rows_.size(); }

private:
    const Rows& rows_;
};

// The results list: rows, the column set, sort state, current and browsed rows, busy flag.
class ResultList {
public:
    // --- rows ---
    std::size_t count() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    const ResultItem& row(std::size_t i) const { return *rows_.at(i); }
    ResultItem& mutableRow(std::size_t i) { return *rows_.at(i); }
    RowRange rows() const { return RowRange(rows_); }

    // Appends a row with interval (0, 0) and the Result text "Found", or "Found       All file"
    // while interval display is on and the Found column exists. Returns its index.
    // `fullCounts` is kept in reportCounts while collectReportCounts is set.
    std::size_t AddResultItem(ResultItem item, const std::string& fullCounts = {});
    // Puts a status into the Result column, without the interval.
    void SetResultStatus(std::size_t row, RowStatus status);
    // Gives row `row` the status and Result text of row `from` (another name of the same file).
    void copyResultStatus(std::size_t row, std::size_t from);
    // Renders the row's interval into the Result column, or strips it again.
    void ShowRowInterval(std::size_t row);
    void HideRowInterval(std::size_t row);
    // Mode 1: interval display off for all rows. Mode 2: on when `intervalsInUse` and
    // `listModifiable`, else off. Sets the Result column's caption.
    void RefreshIntervalDisplay(int mode, bool intervalsInUse = false, bool listModifiable = false);
    // Removes every row and its interval; the tab becomes None.
    void ClearResults();
    // Removes the given rows (indices in any order); intervals go with their rows.
    void removeRows(std::vector<std::size_t> indices);
    // Replaces the row order (a permutation of the current indices), e.g. after sorting.
    void reorder(const std::vector<std::size_t>& order);
    void setInterval(std::size_t row, ModificationInterval interval);
    void notifyRowChanged(std::size_t row);

    // --- selection ---
    void setSelected(std::size_t row, bool selected);
    void selectOnly(std::size_t row);
    void deselectAll();
    std::vector<std::size_t> selectedRows() const;
    long long firstSelected() const;  // -1 when none
    // Kept as rows change, so asking costs nothing however long the list.
    std::size_t selectedCount() const { return selectedCount_; }

    // --- columns ---
    // Shown columns in display order.
    std::vector<Column> columns() const;
    // Display position of a column, or -1 when it is not shown.
    int columnPosition(Column c) const;
    bool foundColumnAbsent() const { return foundAbsent_; }
    bool resultColumnCreated() const { return resultCreated_; }
    const std::string& resultCaption() const { return resultCaption_; }
    std::string columnCaption(Column c) const;
    void removeFoundColumn();
    void insertFoundColumn();
    // Creates the Result column at the end (first search); its caption follows intervalDisplay.
    void createResultColumn();

    // --- sort, current row, browsed row, tab, busy ---
    int sortColumn = 0;
    std::array<bool, kColumnCount> sortDescending{};
    long long currentIndex = -1;
    std::string currentFullName;
    long long browsedIndex = -1;
    std::string browsedPath;
    std::string browsedName;
    ListTab tab = ListTab::None;
    bool busy = false;
    bool intervalDisplay = false;

    // While set (a search for Create Report with several words), every added row's complete
    // count list is kept here in row order.
    bool collectReportCounts = false;
    std::vector<std::string> reportCounts;

    void setObserver(ResultListObserver* observer) { observer_ = observer; }

private:
    // The rows in list order, by pointer into the store: sorting and removing rows move
    // pointers, not the rows' texts.
    std::vector<ResultItem*> rows_;
    RowStore store_;
    std::size_t selectedCount_ = 0;
    bool foundAbsent_ = false;
    bool resultCreated_ = false;
    std::string resultCaption_ = kResultCaption;
    ResultListObserver* observer_ = nullptr;
};

// The text of an interval: "Nil", "All file", or From/"Top" + " - " + To/"Bottom".
std::string intervalText(const ModificationInterval& interval);

}  // namespace vsr::results
