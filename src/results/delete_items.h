#pragma once
#include <cstddef>
#include <string>

#include "results/result_list.h"

namespace vsr::results {

// What Delete Items did to the list, for the window to show.
struct DeleteItemsOutcome {
    bool nothingSelected = false;  // no row was selected: the list is unchanged
    std::size_t deleted = 0;
    std::size_t remaining = 0;
    // The row selected afterwards (the one that followed the last deleted row, else the last
    // row); -1 when no row remains.
    long long selectedIndex = -1;
    std::string countText;  // panel 0: "File in List:   1", "Files in List:   3", or empty
    bool listEmptied = false;
};

inline constexpr const char* kDeleteItemsNoSelection = "Please select some items";
inline constexpr const char* kDeleteItemsCaption = "List: Delete Items";

// Removes every selected row with its interval (the files stay on disk) and selects the row
// that followed the last deleted one. Deleting the last row clears the list.
DeleteItemsOutcome DeleteSelectedItems(ResultList& list);

}  // namespace vsr::results
