#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "results/result_list.h"

namespace vsr::results {

inline constexpr const char* kInvalidMask = "Invalid mask";
inline constexpr const char* kInvalidMaskCaption = "Error";

// Decides whether a row's file name fits the mask (the engine's file-name mask rule).
using NameMatcher = std::function<bool(std::string_view name)>;

// Selects (or deselects) every row whose name fits; the other rows keep their state.
// Returns how many rows fit.
std::size_t SelectByMask(ResultList& list, const NameMatcher& fits, bool select);

// Selects every row.
void SelectAllRows(ResultList& list);

}  // namespace vsr::results
