#pragma once
#include <cstdio>

#include "engine/search/search_run.h"
#include "name_output.h"

namespace vsr::tools {

// For each row in list order: "== <full path>", then one line per Lines Viewer entry of a
// silent fill with the run's query: "<index>\t<text>\t<offset>:<length> ...", every character
// below 32 of the text printed as a blank.
void printLinesViewer(std::FILE* out, const engine::SearchConditions& conditions, engine::SearchEnv env,
                      engine::SearchHost& host, const NameOutput& names = {});

}  // namespace vsr::tools
