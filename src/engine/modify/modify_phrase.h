#pragma once
#include "engine/modify/modify_context.h"

namespace vsr::engine {

// Applies the modification type to every occurrence of the phrase (searchText) in the lines
// of the model, restricted to the row's interval when phrase intervals are on. Occurrences are
// taken from left to right without overlap; inserted text is never searched again.
EngineOutcome PhraseModify(ModifyContext& context, FileModel& model,
                           const results::ModificationInterval& interval);

}  // namespace vsr::engine
