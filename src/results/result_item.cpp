#include "results/result_item.h"

#include "results/result_list.h"

namespace vsr::results {

const char* statusWord(RowStatus status) {
    switch (status) {
        case RowStatus::Found: return "Found";
        case RowStatus::Modified: return "Modified";
        case RowStatus::FailedModification: return "Failed Modification";
        case RowStatus::Undid: return "Undid";
        case RowStatus::FailedUndo: return "Failed Undo";
        case RowStatus::LeftUnchanged: return kLeftUnchanged;
        case RowStatus::NotFound: break;
    }
    return "Not Found";
}

void ResultItem::setStatus(RowStatus s, bool withInterval) {
    status = s;
    intervalShown = withInterval;
    renderResult();
}

void ResultItem::renderResult() {
    // Only these three words carry an interval; the others always stand alone.
    int blanks = 0;
    if (status == RowStatus::Found) blanks = 4;
    else if (status == RowStatus::Modified) blanks = 1;
    else if (status == RowStatus::Undid) blanks = 5;
    result = statusWord(status);
    if (!intervalShown || blanks == 0) return;
    result.append(static_cast<std::size_t>(blanks) + 3, ' ');
    if (status != RowStatus::Found) result += '\\';
    result += intervalText(interval);
}

std::string ResultItem::fullName() const {
    if (path.empty()) return name;
    if (path.back() == '/') return path + name;
    return path + "/" + name;
}

const std::string& ResultItem::text(Column c) const {
    switch (c) {
        case Column::Name: return name;
        case Column::Path: return path;
        case Column::Found: return found;
        case Column::Attributes: return attributes;
        case Column::Time: return time;
        case Column::Size: return size;
        case Column::Type: return type;
        case Column::Result: break;
    }
    return result;
}

std::string& ResultItem::text(Column c) {
    return const_cast<std::string&>(static_cast<const ResultItem&>(*this).text(c));
}

}  // namespace vsr::results
