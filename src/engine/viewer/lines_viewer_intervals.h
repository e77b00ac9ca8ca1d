#pragma once
#include <cstdint>
#include <string>

#include "engine/viewer/lines_viewer_content.h"
#include "engine/query/search_conditions.h"
#include "results/result_list.h"

namespace vsr::engine {

using results::ModificationInterval;

// Whether the rows' intervals restrict a modification now: the Search and Replace tab's
// settings use intervals, and the listed rows may be modified (`listModifiable`: "Modify All"
// is enabled, or disabled only because the modification type is None while the list is still
// that of the last search).
bool intervalsInEffect(const SearchConditions& c, bool listModifiable);

// Whether 1-based `line` may be changed by a modification restricted to `interval`.
inline bool lineInsideInterval(const ModificationInterval& interval, std::int64_t line) {
    return line >= 1 && line <= INT32_MAX && interval.contains(static_cast<std::int32_t>(line));
}

// Mark From on `line`: the row's new interval. `browsed` is the interval as last shown.
ModificationInterval markedFrom(ModificationInterval row, ModificationInterval browsed, std::int32_t line);
// Mark To on `line`, the mirror of markedFrom.
ModificationInterval markedTo(ModificationInterval row, ModificationInterval browsed, std::int32_t line);

// Status panel 1 for the browsed file's interval.
std::string intervalStatusText(const ModificationInterval& interval);

// Whether a Lines Viewer entry gets the red "+": a line entry whose line lies inside.
bool entryInsideInterval(const LinesViewerContent& content, long long index, const ModificationInterval& interval);

enum class MarkScope { Browsed, Selected, Listed };

// The interval commands on the results list. Each rebuilds the Result texts it affects while
// the list shows intervals, and returns whether something changed.
class IntervalMarker {
public:
    explicit IntervalMarker(results::ResultList& list) : list_(list) {}

    // The browsed row's interval as last shown; refreshed when the window goes idle.
    ModificationInterval browsed;
    void refreshBrowsed();

    // Mark From / Mark To on the line of `entry` of `content`; nothing when it is not a line.
    bool markFrom(const LinesViewerContent& content, long long entry);
    bool markTo(const LinesViewerContent& content, long long entry);
    // Mark All (`all`) or Unmark All for the browsed row, the selected rows or every row.
    bool setWhole(MarkScope scope, bool all, bool intervalsInUse, bool listModifiable);

private:
    bool browsedValid() const;
    void showBrowsed();
    results::ResultList& list_;
};

// Enable and visibility states of the interval commands in the three menus.
struct IntervalMenuInputs {
    bool searchReplaceTab = false;
    bool inEffect = false;
    bool listVisible = false;
    bool viewerVisible = false;
    std::size_t viewerEntries = 0;
    bool lineEntrySelected = false;  // neither the header nor the overflow entry
    std::size_t rows = 0;
    std::size_t selectedRows = 0;
    bool intervalsInUse = false;
    bool listModifiable = false;
};

struct IntervalMenuState {
    // LinesPopupMenu
    bool popupVisible = false;
    bool popupMarkFromTo = false;
    bool popupMarkAll = false;
    // The File menu's "&Modification Interval" and the results list's hidden submenu.
    bool submenuEnabled = false;
    bool fileMarkFromTo = false;
    bool fileForBrowsed = false;
    bool fileForSelected = false;
    bool fileForListed = false;
};

IntervalMenuState intervalMenuState(const IntervalMenuInputs& in);

}  // namespace vsr::engine
