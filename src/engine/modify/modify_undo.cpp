// Undo of the last modification run: every backup is put back in place of its file.
#include "engine/modify/modify_driver.h"

#include "engine/backup/backup_plan.h"
#include "results/status_texts.h"

namespace vsr::engine {
namespace {

long long rowOf(const results::ResultList& list, const std::string& path, std::size_t hint) {
    if (hint < list.count() && list.row(hint).fullName() == path) return static_cast<long long>(hint);
    for (std::size_t i = 0; i < list.count(); ++i)
        if (list.row(i).fullName() == path) return static_cast<long long>(i);
    return -1;
}

}  // namespace

// A name that now leads, through a link or as one of several names, to a file other than the
// one the run rewrote: putting the backup back would write into that other file.
bool ModifyDriver::ledElsewhere(const UndoEntry& entry) {
    if (entry.inode == 0) return false;
    const durable::FileLinks now = env_.files.links(entry.path);
    const bool inPlace = now.symbolicLink || now.hardLinks > 1;
    return inPlace && (now.device != entry.device || now.inode != entry.inode);
}

void ModifyDriver::UndoReplaceBitClick() {
    RunState& state = control_.runState();
    results::ResultList& list = list_;
    sink_.setStatusText(kBackupPanel, "");
    sink_.setBusyAnimation(true);
    state.stop = false;
    state.modificationStop = false;
    state.lastPumpMs = env_.clock.tickMs();
    sink_.beginRun(Tab::SearchAndReplace);
    views_.clearLinesViewer();
    views_.setLinesViewerPainting(false);

    auto failRow = [&](long long row) {
        if (row < 0) return;
        views_.widenResultColumn();
        list.SetResultStatus(static_cast<std::size_t>(row), results::RowStatus::FailedUndo);
    };
    // The files are reached from the searched folder as the run reached them: a folder swapped
    // for a link since can't lead the backups anywhere else.
    const platform::SearchedTree tree(undoRoot_);
    for (const UndoEntry& entry : undo_) {
        const std::string& f = entry.path;
        const long long row = rowOf(list, f, entry.row);
        std::string why;
        const std::string name = platform::fileNamePart(f);
        std::optional<platform::FilePlace> own, file, backup;
        if (!env_.files.exists(f) || !env_.files.exists(backupName(f)) || ledElsewhere(entry) ||
            !(own = tree.placeBeside(f, name, why)) || !(file = tree.place(f, why)) ||
            !(backup = tree.placeBeside(f, platform::fileNamePart(backupName(f)), why))) {
            failRow(row);
        } else {
            // The backup replaces the file in one rename, so the file exists under its name at
            // every moment and comes back with the owner, group and mode it had.
            const bool restored = env_.files.restoreBackupAt(*own, *file, *backup);
            if (!restored) {
                failRow(row);
            } else {
                std::vector<std::size_t> rows = entry.aliasRows;
                if (row >= 0) rows.insert(rows.begin(), static_cast<std::size_t>(row));
                for (std::size_t r : rows) {
                    if (r >= list.count()) continue;
                    views_.fillSilent(r);
                    noteIdentity(r);
                    list.SetResultStatus(r, results::RowStatus::Undid);
                    if (list.intervalDisplay) list.ShowRowInterval(r);
                }
            }
        }
        pumpIfDue(control_, env_.clock, 15);
        if (state.stop || state.modificationStop) {
            // The entries not yet undone stay, but Undo waits for the next run.
            views_.setLinesViewerPainting(true);
            sink_.endRun(Tab::SearchAndReplace);
            sink_.setBusyAnimation(false);
            setUndoEnabled(false);
            return;
        }
    }
    undo_.clear();
    const long long selected = list.firstSelected();
    if (selected >= 0) {
        views_.fillSilent(static_cast<std::size_t>(selected));
        views_.scrollRowIntoView(static_cast<std::size_t>(selected));
    }
    views_.setLinesViewerPainting(true);
    sink_.endRun(Tab::SearchAndReplace);
    setUndoEnabled(false);
    sink_.setBusyAnimation(false);
}

}  // namespace vsr::engine
