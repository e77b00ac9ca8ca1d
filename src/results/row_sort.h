#pragma once
#include "results/result_list.h"

namespace vsr::results {

// A click on the header of the column at display position `position`: forgets the direction of
// every other column, sorts all rows once (rows keep their intervals), then flips the clicked
// column's direction so the next click sorts the other way. Found, Size and Time sort by the
// rows' values (rows without one first), the other columns by their text. Ignored while the
// list is busy. Returns whether the rows were sorted.
bool SortByColumn(ResultList& list, int position);

}  // namespace vsr::results
