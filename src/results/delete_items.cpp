#include "results/delete_items.h"

#include <vector>

namespace vsr::results {

DeleteItemsOutcome DeleteSelectedItems(ResultList& list) {
    DeleteItemsOutcome out;
    std::vector<std::size_t> selected = list.selectedRows();
    if (selected.empty()) {
        out.nothingSelected = true;
        out.remaining = list.count();
        return out;
    }
    // Where the last deleted row stood once the rows before it were gone: the row that followed
    // it moves up to exactly this index.
    const std::size_t followerIndex = selected.back() - (selected.size() - 1);
    const long long oldBrowsed = list.browsedIndex;
    const bool browsedKept = oldBrowsed >= 0 && static_cast<std::size_t>(oldBrowsed) < list.count() &&
                             !list.row(static_cast<std::size_t>(oldBrowsed)).selected;
    long long browsedShift = 0;
    for (std::size_t i : selected)
        if (static_cast<long long>(i) < oldBrowsed) ++browsedShift;

    list.removeRows(selected);
    out.deleted = selected.size();
    out.remaining = list.count();

    if (list.empty()) {
        list.ClearResults();
        out.listEmptied = true;
        return out;
    }
    out.countText = remainingCountText(static_cast<long long>(out.remaining));
    std::size_t pick = followerIndex < list.count() ? followerIndex : list.count() - 1;
    out.selectedIndex = static_cast<long long>(pick);
    list.selectOnly(pick);
    // The Lines Viewer keeps showing its file when that row survived, at its new index.
    if (browsedKept) {
        list.browsedIndex = oldBrowsed - browsedShift;
    } else {
        list.browsedIndex = -1;
        list.browsedPath.clear();
        list.browsedName.clear();
    }
    return out;
}

}  // namespace vsr::results
