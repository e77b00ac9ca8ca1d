#include "results/result_list.h"

#include <algorithm>

namespace vsr::results {

std::string intervalText(const ModificationInterval& interval) {
    if (interval.isNil()) return "Nil";
    if (interval.isAllFile()) return "All file";
    std::string from = interval.from == 0 ? "Top" : std::to_string(interval.from);
    std::string to = interval.to == 0 ? "Bottom" : std::to_string(interval.to);
    return from + " - " + to;
}

std::size_t ResultList::AddResultItem(ResultItem item, const std::string& fullCounts) {
    item.interval = {};
    item.setStatus(RowStatus::Found, intervalDisplay && !foundAbsent_);
    const bool selected = item.selected;
    ResultItem& row = store_.add(std::move(item));
    try {
        rows_.push_back(&row);
    } catch (...) {
        store_.release(row);
        throw;
    }
    if (selected) ++selectedCount_;
    if (collectReportCounts) reportCounts.push_back(fullCounts);
    std::size_t index = rows_.size() - 1;
    if (observer_) observer_->rowAdded(index);
    return index;
}

void ResultList::SetResultStatus(std::size_t row, RowStatus status) {
    rows_.at(row)->setStatus(status);
    notifyRowChanged(row);
}

void ResultList::copyResultStatus(std::size_t row, std::size_t from) {
    const ResultItem& source = *rows_.at(from);
    ResultItem& item = *rows_.at(row);
    item.status = source.status;
    item.intervalShown = source.intervalShown;
    item.result = source.result;
    notifyRowChanged(row);
}

void ResultList::ShowRowInterval(std::size_t row) {
    ResultItem& item = *rows_.at(row);
    RowStatus status = item.status;
    // A failed row shows as found again once its interval is shown.
    if (status == RowStatus::FailedModification || status == RowStatus::FailedUndo) status = RowStatus::Found;
    if (status == RowStatus::NotFound) return;
    item.setStatus(status, true);
    notifyRowChanged(row);
}

void ResultList::HideRowInterval(std::size_t row) {
    ResultItem& item = *rows_.at(row);
    const RowStatus status = item.status;
    if (status == RowStatus::FailedModification || status == RowStatus::FailedUndo || status == RowStatus::NotFound)
        return;
    item.setStatus(status, false);
    notifyRowChanged(row);
}

void ResultList::RefreshIntervalDisplay(int mode, bool intervalsInUse, bool listModifiable) {
    bool show = mode == 2 && intervalsInUse && listModifiable;
    if (mode == 1 && rows_.empty()) return;
    intervalDisplay = show;
    resultCaption_ = show ? kResultCaptionWithInterval : kResultCaption;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (show) ShowRowInterval(i);
        else HideRowInterval(i);
    }
    if (observer_) observer_->columnsChanged();
}

void ResultList::ClearResults() {
    // The rows' room goes back too: a list of many rows holds no memory once cleared.
    rows_.clear();
    rows_.shrink_to_fit();
    store_.clear();
    selectedCount_ = 0;
    reportCounts.clear();
    tab = ListTab::None;
    currentIndex = -1;
    currentFullName.clear();
    browsedIndex = -1;
    browsedPath.clear();
    browsedName.clear();
    if (observer_) observer_->rowsReset();
}

void ResultList::removeRows(std::vector<std::size_t> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    std::vector<ResultItem*> kept;
    kept.reserve(rows_.size());
    std::vector<ResultItem*> removed;
    removed.reserve(indices.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (k < indices.size() && indices[k] == i) {
            ++k;
            removed.push_back(rows_[i]);
            continue;
        }
        kept.push_back(rows_[i]);
    }
    rows_ = std::move(kept);
    for (ResultItem* row : removed) store_.release(*row);
    selectedCount_ = static_cast<std::size_t>(
        std::count_if(rows_.begin(), rows_.end(), [](const ResultItem* r) { return r->selected; }));
    if (currentIndex >= static_cast<long long>(rows_.size())) currentIndex = -1;
    if (browsedIndex >= static_cast<long long>(rows_.size())) browsedIndex = -1;
    if (observer_) observer_->rowsReset();
}

void ResultList::reorder(const std::vector<std::size_t>& order) {
    if (order.size() != rows_.size()) return;
    // Anything but a permutation would list a row twice and lose another.
    std::vector<bool> seen(rows_.size());
    for (std::size_t i : order) {
        if (i >= seen.size() || seen[i]) return;
        seen[i] = true;
    }
    // Rows are held by pointer, so a new order moves pointers, not the rows' texts.
    std::vector<ResultItem*> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i : order) sorted.push_back(rows_.at(i));
    rows_ = std::move(sorted);
    if (observer_) observer_->rowsReset();
}

void ResultList::setInterval(std::size_t row, ModificationInterval interval) {
    rows_.at(row)->interval = interval;
    notifyRowChanged(row);
}

void ResultList::notifyRowChanged(std::size_t row) {
    if (observer_) observer_->rowChanged(row);
}

void ResultList::setSelected(std::size_t row, bool selected) {
    ResultItem& item = *rows_.at(row);
    if (item.selected != selected) {
        if (selected) ++selectedCount_;
        else --selectedCount_;
    }
    item.selected = selected;
    notifyRowChanged(row);
}

void ResultList::selectOnly(std::size_t row) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        bool want = i == row;
        if (rows_[i]->selected != want) setSelected(i, want);
    }
    if (row < rows_.size()) {
        currentIndex = static_cast<long long>(row);
        currentFullName = rows_[row]->fullName();
    }
}

void ResultList::deselectAll() {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i]->selected) setSelected(i, false);
}

std::vector<std::size_t> ResultList::selectedRows() const {
    std::vector<std::size_t> out;
    if (selectedCount_ == 0) return out;
    out.reserve(selectedCount_);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i]->selected) out.push_back(i);
    return out;
}

long long ResultList::firstSelected() const {
    if (selectedCount_ == 0) return -1;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i]->selected) return static_cast<long long>(i);
    return -1;
}

std::vector<Column> ResultList::columns() const {
    std::vector<Column> cols = {Column::Name, Column::Path};
    if (!foundAbsent_) cols.push_back(Column::Found);
    for (Column c : {Column::Attributes, Column::Time, Column::Size, Column::Type}) cols.push_back(c);
    if (resultCreated_) cols.push_back(Column::Result);
    return cols;
}

int ResultList::columnPosition(Column c) const {
    std::vector<Column> cols = columns();
    auto it = std::find(cols.begin(), cols.end(), c);
    return it == cols.end() ? -1 : static_cast<int>(it - cols.begin());
}

std::string ResultList::columnCaption(Column c) const {
    switch (c) {
        case Column::Name: return "Name";
        case Column::Path: return "Path";
        case Column::Found: return "Found";
        case Column::Attributes: return "Attributes";
        case Column::Time: return "Time";
        case Column::Size: return "Size";
        case Column::Type: return "Type";
        case Column::Result: break;
    }
    return resultCaption_;
}

void ResultList::removeFoundColumn() {
    if (foundAbsent_) return;
    foundAbsent_ = true;
    if (observer_) observer_->columnsChanged();
}

void ResultList::insertFoundColumn() {
    if (!foundAbsent_) return;
    foundAbsent_ = false;
    if (observer_) observer_->columnsChanged();
}

void ResultList::createResultColumn() {
    resultCreated_ = true;
    resultCaption_ = intervalDisplay ? kResultCaptionWithInterval : kResultCaption;
    if (observer_) observer_->columnsChanged();
}

}  // namespace vsr::results
