#include "project/batch_run.h"

#include "project/bar_lines.h"

namespace vsr::project {

void runBatchPair(BatchRunHost& host, const BatchPair& pair) {
    if (host.stopRequested()) return;
    if (host.searchType() == engine::SearchType::Phrase) {
        host.setField(RunField::SearchEdit, pair.search);
        host.setField(RunField::Edit2, pair.replace);
    } else {
        host.setField(RunField::SearchMemo, barLinesText(pair.search));
        host.setField(RunField::Memo2, pair.replace.empty() ? std::string() : barLinesText(pair.replace));
    }
    if (host.userIntervened() || host.stopRequested()) return;
    host.runSearch();
    if (host.stopRequested()) {
        host.deselectAfterStop();
        return;
    }
    if (host.userIntervened()) return;
    host.modifyAll();
    if (host.stopRequested()) host.deselectAfterStop();
}

int runBatchTable(BatchRunHost& host, const BatchTable& table) {
    host.clearLinesViewer();
    host.setLinesViewerPainting(false);
    int ran = 0;
    for (const BatchPair& pair : table.rows) {
        if (host.stopRequested() || host.userIntervened()) break;
        if (pair.search.empty()) continue;
        runBatchPair(host, pair);
        ++ran;
    }
    host.setLinesViewerPainting(true);
    return ran;
}

}  // namespace vsr::project
