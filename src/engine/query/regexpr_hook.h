#pragma once
#include <memory>

#include "engine/search/search_run.h"

namespace vsr::engine {

// Where the driver gets the matcher of Reg Expr queries. Returns nullptr while no regular
// expression matcher is built into the program; the driver then refuses such a run with
// kRegExprUnavailable.
std::unique_ptr<ContentMatcher> createRegExprMatcher(SearchRun& run);

inline constexpr const char* kRegExprUnavailable =
    "Reg Expr search is not built yet in this version";

}  // namespace vsr::engine
