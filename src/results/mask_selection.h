#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "results/result_list.h"

namespace vsr::results {

inline constexpr const char* kInvalidMask = "Invalid mask";
inline constexpr const char* kInvalidMaskCaption = "Error";

// The mask as Select and Deselect match it: "." appended when it holds none, and a final "?"
// widened to a set of every code 1..255.
std::string selectionMask(std::string_view typed);

// Decides whether a row's name (already with "." appended when it had none) fits the mask.
using NameMatcher = std::function<bool(std::string_view name)>;

// Selects (or deselects) every row whose name fits; the other rows keep their state.
// Returns how many rows fit.
std::size_t SelectByMask(ResultList& list, const NameMatcher& fits, bool select);

// Selects every row.
void SelectAllRows(ResultList& list);

}  // namespace vsr::results
