#pragma once
#include <string>

#include "engine/query/search_conditions.h"
#include "project/batch_table.h"
#include "project/command_line_run.h"

namespace vsr::project {

// What a batch run needs from the main window.
class BatchRunHost {
public:
    virtual ~BatchRunHost() = default;
    virtual bool stopRequested() = 0;
    virtual bool userIntervened() = 0;
    virtual engine::SearchType searchType() = 0;
    virtual void setField(RunField field, const std::string& text) = 0;
    // The Search button of the Search and Replace tab, then Modify All.
    virtual void runSearch() = 0;
    virtual void modifyAll() = 0;
    // After a stop: deselect the selected row, disable "Modify Selected" and "Delete Items".
    virtual void deselectAfterStop() = 0;
    virtual void clearLinesViewer() = 0;
    virtual void setLinesViewerPainting(bool on) = 0;
};

// One pair: fill the Search and Replace fields, search, then modify all listed files.
// Multiline and Reg Expr searches read "|" as a line break and "||" as a "|".
void runBatchPair(BatchRunHost& host, const BatchPair& pair);

// Every row with a search cell, in order, until a stop or a user's intervention.
// Returns the number of pairs run.
int runBatchTable(BatchRunHost& host, const BatchTable& table);

}  // namespace vsr::project
