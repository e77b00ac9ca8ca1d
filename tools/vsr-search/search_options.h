#pragma once
#include <string>
#include <vector>

#include "engine/query/search_conditions.h"
#include "modify_options.h"
#include "report_options.h"

namespace vsr::tools {

// The parsed command line of vsr-search: the conditions, or the reason it was refused.
struct SearchOptions {
    engine::SearchConditions conditions;
    bool help = false;
    std::string listFile;  // when given, the rows are also written there as a saved list
    bool lines = false;    // after the rows, print each row's Lines Viewer entries
    bool nullAfterNames = false;  // --null: a NUL byte follows each name on standard output
    bool encodings = false;       // --encodings: each row names its file's encoding
    bool index = false;           // --index: build or refresh the folder's content index, search with it
    int threads = 0;       // threads that examine file contents; 0 = one per processor
    ModifyRequest modify;  // Modify All (and Undo) after the search
    ReportRequest report;  // HTML pages written after the run
    std::string error;  // empty when the command line is valid
};

// Options not given keep the form values; `home` stands for the form's default path.
SearchOptions parseSearchOptions(const std::vector<std::string>& args, const std::string& home);

// The usage text printed by --help and after a refused command line.
const char* searchUsage();

// The lines of a text file (CR LF, LF or CR line ends); false when it can't be read.
bool readLines(const std::string& file, std::vector<std::string>& lines);

}  // namespace vsr::tools
