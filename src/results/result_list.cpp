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
    item.result = intervalDisplay && !foundAbsent_ ? kStatusFoundAllFile : kStatusFound;
    rows_.push_back(std::move(item));
    if (collectReportCounts) reportCounts.push_back(fullCounts);
    std::size_t index = rows_.size() - 1;
    if (observer_) observer_->rowAdded(index);
    return index;
}

void ResultList::SetResultStatus(std::size_t row, const std::string& text) {
    rows_.at(row).result = text;
    notifyRowChanged(row);
}

void ResultList::ShowRowInterval(std::size_t row) {
    ResultItem& item = rows_.at(row);
    std::string text = item.result;
    if (text == kStatusFailedModification || text == kStatusFailedUndo) text = kStatusFound;
    std::size_t wordLength = 0;
    std::size_t blanks = 0;
    // Later rules override earlier ones, in this order.
    if (text.rfind("Found", 0) == 0) wordLength = 5, blanks = 4;
    if (text.find("Modified") != std::string::npos) wordLength = 8, blanks = 1;
    if (text.find("Undid") != std::string::npos) wordLength = 5, blanks = 5;
    if (wordLength == 0) return;
    std::string word;
    if (blanks == 1) word = "Modified";
    else if (blanks == 5) word = "Undid";
    else word = "Found";
    std::string interval = intervalText(item.interval);
    if (word != "Found") interval = "\\" + interval;
    item.result = word + std::string(blanks, ' ') + "   " + interval;
    notifyRowChanged(row);
}

void ResultList::HideRowInterval(std::size_t row) {
    ResultItem& item = rows_.at(row);
    const std::string& text = item.result;
    if (text == kStatusFailedModification || text == kStatusFailedUndo) return;
    if (text.find("Undid") != std::string::npos) item.result = "Undid";
    else if (text.find("Modified") != std::string::npos) item.result = "Modified";
    else if (text.rfind("Found", 0) == 0) item.result = "Found";
    else return;
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
    rows_.clear();
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
    std::vector<ResultItem> kept;
    kept.reserve(rows_.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (k < indices.size() && indices[k] == i) {
            ++k;
            continue;
        }
        kept.push_back(std::move(rows_[i]));
    }
    rows_ = std::move(kept);
    if (currentIndex >= static_cast<long long>(rows_.size())) currentIndex = -1;
    if (browsedIndex >= static_cast<long long>(rows_.size())) browsedIndex = -1;
    if (observer_) observer_->rowsReset();
}

void ResultList::reorder(const std::vector<std::size_t>& order) {
    if (order.size() != rows_.size()) return;
    std::vector<ResultItem> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i : order) sorted.push_back(std::move(rows_.at(i)));
    rows_ = std::move(sorted);
    if (observer_) observer_->rowsReset();
}

void ResultList::setInterval(std::size_t row, ModificationInterval interval) {
    rows_.at(row).interval = interval;
    notifyRowChanged(row);
}

void ResultList::notifyRowChanged(std::size_t row) {
    if (observer_) observer_->rowChanged(row);
}

void ResultList::setSelected(std::size_t row, bool selected) {
    rows_.at(row).selected = selected;
    notifyRowChanged(row);
}

void ResultList::selectOnly(std::size_t row) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        bool want = i == row;
        if (rows_[i].selected != want) setSelected(i, want);
    }
    if (row < rows_.size()) {
        currentIndex = static_cast<long long>(row);
        currentFullName = rows_[row].fullName();
    }
}

void ResultList::deselectAll() {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].selected) setSelected(i, false);
}

std::vector<std::size_t> ResultList::selectedRows() const {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].selected) out.push_back(i);
    return out;
}

long long ResultList::firstSelected() const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].selected) return static_cast<long long>(i);
    return -1;
}

std::size_t ResultList::selectedCount() const {
    return static_cast<std::size_t>(std::count_if(rows_.begin(), rows_.end(), [](const ResultItem& r) { return r.selected; }));
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
