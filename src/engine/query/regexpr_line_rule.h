#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "engine/query/search_conditions.h"

namespace vsr::engine {

// Whether a Reg Expr query of `queryLines` lines (joined by CR LF into `expression`) is
// matched line by line rather than over the whole text: always with "Search within Each
// Single Line ", otherwise when nothing in a one-line expression can reach across a line end.
bool matchesLineByLine(const SearchConditions& c, std::size_t queryLines, std::string_view expression);
// A leading ".*" is anchored with "^" so the engine does not retry it from every position.
std::string anchoredExpression(std::string_view expression);

}  // namespace vsr::engine
