#include "engine/regexpr_hook.h"

namespace vsr::engine {

// The regular-expression matcher replaces this body once it exists.
std::unique_ptr<ContentMatcher> createRegExprMatcher(SearchRun&) { return nullptr; }

}  // namespace vsr::engine
