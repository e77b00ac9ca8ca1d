#pragma once
#include <cstdio>

#include "engine/search/search_run.h"
#include "modify_options.h"

namespace vsr::tools {

// Runs Modify All over the rows the search listed, as the window's button would, and prints
// "<full path>\t<Found>\t<Result>" per row; with --undo-after then Undo and the rows again.
// Returns 3 when a row failed to be modified or restored, else 0.
int runModification(std::FILE* out, const engine::SearchConditions& conditions, const ModifyRequest& request,
                    engine::SearchEnv env, engine::SearchHost& host);

}  // namespace vsr::tools
