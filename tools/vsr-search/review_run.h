#pragma once
#include <cstdio>

#include "engine/modify/edit_choice.h"
#include "engine/search/search_run.h"
#include "modify_options.h"

namespace vsr::tools {

// --review: before Modify, each edit of the listed files, in row order, is shown on `prompt`
// as a small diff and one answer is read from `in` (see askReview). The edits answered "n"
// (or "d", or left by "q") go into `choice`, with the bytes each file had, so a file changed
// since is refused rather than modified; the rows reached are selected, the others (after "q")
// are not, so Modify Selected writes exactly what was decided.
void reviewListedEdits(const engine::SearchConditions& conditions, const ModifyRequest& request,
                       engine::SearchEnv env, engine::SearchHost& host, engine::EditChoice& choice, std::FILE* in,
                       std::FILE* prompt);

}  // namespace vsr::tools
