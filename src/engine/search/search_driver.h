#pragma once
#include <memory>

#include "engine/search/search_run.h"

namespace vsr::engine {

struct RunOptions {
    // Started by Create Report: the report restores the window itself (no end-of-run state),
    // and the complete count lists of the rows are kept.
    bool forReport = false;
};

// Runs one search: validation, list reset, masks and terms, the walk over the folder tree or
// over the listed results, and the closing steps. Path and masks of `conditions` are
// normalized in place and reported to the host.
class SearchDriver {
public:
    SearchDriver(SearchEnv env, SearchHost& host) : env_(env), host_(host) {}

    // The Find and Search buttons.
    void FindButtonClick(SearchConditions& conditions, const RunOptions& options = {});
    // The Stop buttons: stops searches and modifications.
    void StopFindBitSClick();

    // The last run (its terms, masks and counts stay valid until the next run), or nullptr.
    SearchRun* lastRun() { return run_.get(); }

private:
    SearchEnv env_;
    SearchHost& host_;
    std::unique_ptr<SearchConditions> conditions_;
    std::unique_ptr<SearchRun> run_;
};

}  // namespace vsr::engine
