#pragma once
#include <string>
#include <vector>

#include "engine/modify/modify_context.h"

namespace vsr::engine {

// Applies the modification type to every non-empty match of the expression (searchLines) in
// the model, line by line or over the whole text by the line-by-line rule, substituting
// replaceLines through the engine's template expansion. A compilation error is reported and
// ends the run; any other engine error fails the file, which is then left unchanged.
EngineOutcome RegExprModify(ModifyContext& context, FileModel& model,
                            const results::ModificationInterval& interval);

}  // namespace vsr::engine
