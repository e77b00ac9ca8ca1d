#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/locale_formats.h"
#include "results/result_list.h"

namespace vsr::results {

// Turns a Time column text back into seconds on a common scale; nothing when it can't be read.
using TimeTextReader = std::function<std::optional<std::int64_t>(std::string_view)>;

// Reads "<short date> <time of day>": the date with the locale's short date format, the time
// as hours, minutes and optional seconds with an optional AM/PM designator.
std::optional<std::int64_t> readTimeText(std::string_view text, const platform::LocaleFormats& formats);

// Case-insensitive comparison of two texts (ASCII letters folded): -1, 0 or 1.
int compareTextNoCase(std::string_view a, std::string_view b);

// The leading number of a Found text ("3, 1, 2" gives 3); nothing when it has none.
std::optional<double> foundNumber(std::string_view text);
// The number of a Size text ("1,5 KB" gives 1.5); nothing when it can't be read.
std::optional<double> sizeNumber(std::string_view text);

// Compares rows `a` and `b` by the shown column at display position `position`; the column's
// caption decides how (Found and Size as numbers, Time as dates, the rest as text). The sign is
// inverted when that column's descending flag is set.
int compareRows(const ResultList& list, const ResultItem& a, const ResultItem& b, int position,
                const TimeTextReader& readTime);

// A click on the header of the column at display position `position`: forgets the direction of
// every other column, sorts all rows once (rows keep their intervals), then flips the clicked
// column's direction so the next click sorts the other way. Ignored while the list is busy.
// Returns whether the rows were sorted.
bool SortByColumn(ResultList& list, int position, const TimeTextReader& readTime);

}  // namespace vsr::results
