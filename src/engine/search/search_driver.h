#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/search/index_skip.h"
#include "engine/search/listed_file_step.h"
#include "engine/search/search_host.h"
#include "engine/search/search_run.h"

namespace vsr::engine {

struct RunOptions {
    // Started by Create Report: the report restores the window itself (no end-of-run state),
    // and the complete count lists of the rows are kept.
    bool forReport = false;
};

// Runs one search: validation, list reset, masks and terms, the walk over the folder tree or
// over the listed results, and the closing steps. Path and masks of `conditions` are
// normalized in place and reported to the sink; the rows go to the sink, the list's columns,
// state and selection are set in `list`.
//
// The walk and the matching run on threads of their own; the calling thread is the host's: it
// takes the rows, status texts and messages in walk order and pumps the host's messages until
// the run ends or Stop ends it.
class SearchDriver {
public:
    SearchDriver(SearchEnv env, SearchSink& sink, RunControl& control, results::ResultList& list)
        : env_(env), sink_(sink), control_(control), list_(list) {}
    // For a caller that is sink, run control and list owner in one.
    SearchDriver(SearchEnv env, SearchHost& host) : SearchDriver(env, host, host, host.results()) {}

    // The threads that examine file contents: 0 for one per processor ("Automatic"), 1 for
    // the single-threaded run (the walk examines each file itself).
    void setThreads(int threads) { threads_ = threads; }
    // The number of threads a run with `setting` uses.
    static int resolveThreads(int setting);
    // Work on the bytes of every listed file, done by the thread that examined it (null: none).
    void setListedFileStep(ListedFileStep* step) { listedStep_ = step; }
    // A content index of the searched folder: the files it shows can't match are passed over
    // (null: none).
    void setIndexSkip(IndexSkip* skip) { indexSkip_ = skip; }

    // The Find and Search buttons.
    void FindButtonClick(SearchConditions& conditions, const RunOptions& options = {});
    // The Stop buttons: stops searches and modifications.
    void StopFindBitSClick();

private:
    SearchEnv env_;
    SearchSink& sink_;
    RunControl& control_;
    results::ResultList& list_;
    int threads_ = 0;
    ListedFileStep* listedStep_ = nullptr;
    IndexSkip* indexSkip_ = nullptr;
};

}  // namespace vsr::engine
