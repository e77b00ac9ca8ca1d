#include "engine/query/regexpr_hook.h"

#include "engine/query/regexpr_matcher.h"

namespace vsr::engine {

std::unique_ptr<ContentMatcher> createRegExprMatcher(SearchRun& run) { return std::make_unique<RegExprMatcher>(run); }

}  // namespace vsr::engine
