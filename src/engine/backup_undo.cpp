// Undo of the last modification run: every backup is put back in place of its file.
#include "engine/modify_driver.h"

#include "results/status_texts.h"

namespace vsr::engine {
namespace {

long long rowOf(const results::ResultList& list, const std::string& path, std::size_t hint) {
    if (hint < list.count() && list.row(hint).fullName() == path) return static_cast<long long>(hint);
    for (std::size_t i = 0; i < list.count(); ++i)
        if (list.row(i).fullName() == path) return static_cast<long long>(i);
    return -1;
}

// Swaps the backup in under the file's name; on any failure the modified file keeps its name.
bool swapBackIn(platform::FileStore& files, const std::string& f) {
    const std::string bak = backupName(f);
    const std::string swap = swapName(f);
    // A link or a file with several names must stay what it is: its contents are restored.
    const platform::FileLinks links = files.links(f);
    if (links.symbolicLink || links.hardLinks > 1) {
        if (files.copyContents(bak, f) != platform::RewriteOutcome::Written) return false;
        files.removeFile(bak);
        return true;
    }
    if (files.exists(swap) && !files.removeFile(swap)) return false;
    if (!files.renameFile(f, swap)) return false;
    if (!files.renameFile(bak, f)) {
        files.renameFile(swap, f);
        return false;
    }
    files.removeFile(swap);
    return true;
}

}  // namespace

void ModifyDriver::UndoReplaceBitClick() {
    RunState& state = host_.runState();
    results::ResultList& list = host_.results();
    host_.setStatusText(kBackupPanel, "");
    host_.setBusyAnimation(true);
    state.stop = false;
    state.modificationStop = false;
    state.lastPumpMs = env_.clock.tickMs();
    host_.beginRun(Tab::SearchAndReplace);
    views_.clearLinesViewer();
    views_.setLinesViewerPainting(false);

    auto failRow = [&](long long row) {
        if (row < 0) return;
        views_.widenResultColumn();
        list.SetResultStatus(static_cast<std::size_t>(row), results::kStatusFailedUndo);
    };
    for (const UndoEntry& entry : undo_) {
        const std::string& f = entry.path;
        const long long row = rowOf(list, f, entry.row);
        if (!env_.files.exists(f) || !env_.files.exists(backupName(f))) {
            failRow(row);
        } else {
            std::optional<platform::SavedAttributes> saved;
            std::optional<platform::FileAttributes> a = env_.attributes.read(f);
            if (a && (a->readOnly || a->hidden) && !a->system) saved = env_.attributes.makeWritable(f);
            const bool restored = swapBackIn(env_.files, f);
            if (saved) env_.attributes.restore(f, *saved);
            if (!restored) {
                failRow(row);
            } else {
                std::vector<std::size_t> rows = entry.aliasRows;
                if (row >= 0) rows.insert(rows.begin(), static_cast<std::size_t>(row));
                for (std::size_t r : rows) {
                    if (r >= list.count()) continue;
                    views_.fillSilent(r);
                    list.SetResultStatus(r, results::kStatusUndid);
                    if (list.intervalDisplay) list.ShowRowInterval(r);
                }
            }
        }
        pumpIfDue(host_, env_.clock, 15);
        if (state.stop || state.modificationStop) {
            // The entries not yet undone stay, but Undo waits for the next run.
            views_.setLinesViewerPainting(true);
            host_.endRun(Tab::SearchAndReplace);
            host_.setBusyAnimation(false);
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
    host_.endRun(Tab::SearchAndReplace);
    setUndoEnabled(false);
    host_.setBusyAnimation(false);
}

}  // namespace vsr::engine
