#pragma once
#include <vector>

namespace vsr::ui {

// One column of the results list before the last, as the width sharing sees it.
struct ColumnNeed {
    int current = 0;     // its width now
    int wanted = 0;      // the width that shows its texts whole
    int floor = 0;       // never narrower than this when it has to give up width
    bool fixed = false;  // the user sized it: it keeps `current`
};

// The widths of the columns so that they fit into `available` pixels: every column that the
// user never sized gets what it wants when everything fits; otherwise the narrow ones keep
// their texts whole and the wide ones are cut to one common width, never below their floor.
std::vector<int> shareColumnWidths(const std::vector<ColumnNeed>& columns, int available);

}  // namespace vsr::ui
