#include "engine/viewer/lines_viewer_intervals.h"

namespace vsr::engine {

bool intervalsInEffect(const SearchConditions& c, bool listModifiable) { return c.intervalsInUse() && listModifiable; }

ModificationInterval markedFrom(ModificationInterval row, ModificationInterval browsed, std::int32_t line) {
    // Never leave exactly one end unmarked.
    if (row.to == -1) row.to = 0;
    if (browsed.to != 0 && browsed.to < line) row.to = 0;
    row.from = line;
    return row;
}

ModificationInterval markedTo(ModificationInterval row, ModificationInterval browsed, std::int32_t line) {
    if (row.from == -1) row.from = 0;
    if (browsed.from != 0 && browsed.from > line) row.from = 0;
    row.to = line;
    return row;
}

std::string intervalStatusText(const ModificationInterval& interval) {
    const std::string lead = "Modification interval for the browsed file: ";
    if (interval.isNil()) return lead + "The marked lines are absent";
    if (interval.isAllFile()) return lead + "All lines are marked";
    std::string from = interval.from == 0 ? "top" : "line " + std::to_string(interval.from);
    std::string to = interval.to == 0 ? "bottom" : "line " + std::to_string(interval.to);
    return lead + "From " + from + " to " + to;
}

bool entryInsideInterval(const LinesViewerContent& content, long long index, const ModificationInterval& interval) {
    if (!content.isLineEntry(index)) return false;
    return lineInsideInterval(interval, entryLineNumber(content.entry(static_cast<std::size_t>(index)).displayText));
}

bool IntervalMarker::browsedValid() const {
    return list_.browsedIndex >= 0 && list_.browsedIndex < static_cast<long long>(list_.count());
}

void IntervalMarker::refreshBrowsed() {
    if (browsedValid()) browsed = list_.row(static_cast<std::size_t>(list_.browsedIndex)).interval;
}

void IntervalMarker::showBrowsed() {
    const std::size_t row = static_cast<std::size_t>(list_.browsedIndex);
    browsed = list_.row(row).interval;
    if (list_.intervalDisplay) list_.ShowRowInterval(row);
}

bool IntervalMarker::markFrom(const LinesViewerContent& content, long long entry) {
    if (!browsedValid() || !content.isLineEntry(entry)) return false;
    std::int64_t line = entryLineNumber(content.entry(static_cast<std::size_t>(entry)).displayText);
    if (line <= 0) return false;
    const std::size_t row = static_cast<std::size_t>(list_.browsedIndex);
    list_.setInterval(row, markedFrom(list_.row(row).interval, browsed, static_cast<std::int32_t>(line)));
    showBrowsed();
    return true;
}

bool IntervalMarker::markTo(const LinesViewerContent& content, long long entry) {
    if (!browsedValid() || !content.isLineEntry(entry)) return false;
    std::int64_t line = entryLineNumber(content.entry(static_cast<std::size_t>(entry)).displayText);
    if (line <= 0) return false;
    const std::size_t row = static_cast<std::size_t>(list_.browsedIndex);
    list_.setInterval(row, markedTo(list_.row(row).interval, browsed, static_cast<std::int32_t>(line)));
    showBrowsed();
    return true;
}

bool IntervalMarker::setWhole(MarkScope scope, bool all, bool intervalsInUse, bool listModifiable) {
    const ModificationInterval value = all ? ModificationInterval{0, 0} : ModificationInterval{-1, -1};
    if (scope == MarkScope::Browsed) {
        if (!browsedValid()) return false;
        list_.setInterval(static_cast<std::size_t>(list_.browsedIndex), value);
        showBrowsed();
        return true;
    }
    std::vector<std::size_t> rows;
    if (scope == MarkScope::Selected) {
        rows = list_.selectedRows();
    } else {
        for (std::size_t i = 0; i < list_.count(); ++i) rows.push_back(i);
    }
    if (rows.empty()) return false;
    for (std::size_t r : rows) list_.setInterval(r, value);
    list_.RefreshIntervalDisplay(2, intervalsInUse, listModifiable);
    refreshBrowsed();
    return true;
}

IntervalMenuState intervalMenuState(const IntervalMenuInputs& in) {
    IntervalMenuState s;
    s.popupVisible = in.searchReplaceTab;
    s.popupMarkFromTo = in.inEffect && in.lineEntrySelected;
    s.popupMarkAll = in.inEffect;
    s.submenuEnabled = in.searchReplaceTab && in.listVisible && in.rows > 0 && in.intervalsInUse && in.listModifiable;
    const bool viewerHasLines = in.viewerVisible && in.viewerEntries > 0;
    s.fileMarkFromTo = s.submenuEnabled && viewerHasLines && in.lineEntrySelected;
    s.fileForBrowsed = s.submenuEnabled && viewerHasLines;
    s.fileForSelected = s.submenuEnabled && in.selectedRows > 0;
    s.fileForListed = s.submenuEnabled;
    return s;
}

}  // namespace vsr::engine
