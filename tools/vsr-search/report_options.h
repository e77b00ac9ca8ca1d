#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/search/search_driver.h"

namespace vsr::tools {

// The HTML pages asked for on the command line, written after the run.
struct ReportRequest {
    std::string reportFile;      // --report FILE: the search report of the run
    std::int64_t context = 5;    // --context N|All: lines around each found line
    bool contextGiven = false;
    long long browseRow = 0;     // --browse ROW FILE: 1-based row of the Browse Context page
    std::string browseFile;
};

// Takes args[i] when it is a report option, advancing i past its values. An invalid value
// sets `error`. False when args[i] is not such an option.
bool parseReportOption(const std::vector<std::string>& args, std::size_t& i, ReportRequest& r, std::string& error);
// The checks once all options are read; the reason the command line is refused, or empty.
std::string finishReportOptions(const ReportRequest& r);
const char* reportUsage();

// The search keeps what the report needs (each row's complete count list) when one is asked for.
engine::RunOptions reportRunOptions(const ReportRequest& r);

// Whether any page is asked for.
inline bool pagesRequested(const ReportRequest& r) { return !r.reportFile.empty() || !r.browseFile.empty(); }
// Writes the pages asked for; a failure is told on `err`. False when one could not be written.
bool writeRequestedPages(std::FILE* err, const ReportRequest& r, const engine::SearchConditions& conditions,
                         engine::SearchEnv env, engine::SearchHost& host);

}  // namespace vsr::tools
