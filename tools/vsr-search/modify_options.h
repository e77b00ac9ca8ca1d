#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "engine/modify/modify_context.h"
#include "engine/query/search_conditions.h"
#include "name_output.h"
#include "results/result_item.h"

namespace vsr::tools {

// The modification part of the command line: Modify All after the search, then maybe Undo.
struct ModifyRequest {
    bool modify = false;
    engine::ModifyOptions options;
    bool intervalGiven = false;
    results::ModificationInterval interval;  // given to every row when intervalGiven
    bool undoAfter = false;
    bool dryRun = false;  // print the unified diff of every change instead of writing it
    bool review = false;  // ask about each replacement before it is written (--review)
    int threads = 0;      // threads that read and modify files ahead of the writes (--threads)
    NameOutput names;     // how the rows name their files (--null)
};

// Takes args[i] when it is a modification option, advancing i past its value. An invalid
// value sets `error`. False when args[i] is not such an option.
bool parseModifyOption(const std::vector<std::string>& args, std::size_t& i, engine::SearchConditions& c,
                       ModifyRequest& r, std::string& error);

// The checks once all options are read; a modification runs on the Search and Replace tab.
// Returns the reason the command line is refused, or an empty text.
std::string finishModifyOptions(engine::SearchConditions& c, const ModifyRequest& r, const std::string& type);

// The usage lines of the modification options.
const char* modifyUsage();

}  // namespace vsr::tools
