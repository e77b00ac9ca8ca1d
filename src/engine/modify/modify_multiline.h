#pragma once
#include <cstddef>
#include <vector>

#include "engine/modify/modify_context.h"

namespace vsr::engine {

// 0-based first lines of the blocks of the model that equal the query lines (after the
// normalisation of the conditions), taken greedily from the top so that they never overlap.
// False when the stop flag ended the scan.
bool findMultilineBlocks(ModifyContext& context, const std::vector<std::string_view>& lines,
                         std::vector<std::size_t>& starts);

// Applies the modification type to every block of searchLines in the model: the k matched
// lines are replaced, cleared, removed, or get the lines of replaceLines before or after them.
EngineOutcome MultilineModify(ModifyContext& context, FileModel& model);

}  // namespace vsr::engine
