#include "engine/regexpr_hook.h"

#include "engine/regexpr_matcher.h"

namespace vsr::engine {

std::unique_ptr<ContentMatcher> createRegExprMatcher(SearchRun& run) { return std::make_unique<RegExprMatcher>(run); }

}  // namespace vsr::engine
