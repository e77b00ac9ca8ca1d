#include "engine/modify_driver.h"

#include "engine/backup_copy.h"
#include "engine/modify_multiline.h"
#include "engine/modify_phrase.h"
#include "engine/modify_regexpr.h"
#include "engine/query_terms.h"
#include "results/status_texts.h"

namespace vsr::engine {
namespace {

// What became of one file.
enum class RowEnd { Modified, Failed, Stopped };

}  // namespace

void ModifyDriver::setUndoEnabled(bool on) {
    undoEnabled_ = on;
    views_.setUndoEnabled(on);
}

void ModifyDriver::disableUndo() { setUndoEnabled(false); }

void ModifyDriver::Modify(ModifyScope scope, const SearchConditions& c, const ModifyOptions& o) {
    RunState& state = host_.runState();
    results::ResultList& list = host_.results();
    host_.setStatusText(kBackupPanel, "");
    state.modificationStop = false;
    setUndoEnabled(false);

    if (c.searchType == SearchType::Phrase && c.searchText.empty()) {
        host_.messageBox(kModifyCaption, kNoSearchString, MessageIcon::Warning);
        return;
    }
    if (c.searchType != SearchType::Phrase && isEmptyMemo(c.searchLines)) {
        host_.messageBox(kModifyCaption, kNoSearchText, MessageIcon::Warning);
        return;
    }
    if (scope == ModifyScope::Selected && list.firstSelected() < 0) {
        host_.messageBox(kModifyCaption, kNoSelection, MessageIcon::Warning);
        host_.endRun(Tab::SearchAndReplace);
        return;
    }
    state.stop = false;
    state.lastPumpMs = env_.clock.tickMs();

    host_.beginRun(Tab::SearchAndReplace);
    host_.setBusyAnimation(true);
    const std::size_t first = scope == ModifyScope::Selected ? static_cast<std::size_t>(list.firstSelected()) : 0;
    host_.historyUsed(HistoryField::ReplaceText, c.replaceText);
    undo_.clear();
    handled_.clear();
    createBackups_ = c.createBackups;
    views_.clearLinesViewer();
    views_.setLinesViewerPainting(false);
    list.busy = true;

    const bool intervals = c.intervalsInUse();
    bool stopped = false;
    for (std::size_t i = first; i < list.count(); ++i) {
        if (state.stop || state.modificationStop) {
            stopped = true;
            break;
        }
        const results::ResultItem& row = list.row(i);
        if (scope == ModifyScope::All || row.selected) {
            // A row with no marked line is not to be touched at all.
            if (!(intervals && row.interval.isNil())) modifyRow(i, c, o);
        }
        pumpIfDue(host_, env_.clock, 15);
    }
    if (!stopped && (state.stop || state.modificationStop)) stopped = true;
    endRun(stopped);
}

void ModifyDriver::endRun(bool stopped) {
    RunState& state = host_.runState();
    results::ResultList& list = host_.results();
    list.busy = false;
    const long long selected = list.firstSelected();
    if (!stopped && selected >= 0) {
        views_.fillSilent(static_cast<std::size_t>(selected));
        views_.scrollRowIntoView(static_cast<std::size_t>(selected));
    }
    if (stopped && selected < 0) views_.clearLinesViewer();
    views_.setLinesViewerPainting(true);
    if (!stopped) host_.pumpMessages();
    host_.setBusyAnimation(false);
    host_.endRun(Tab::SearchAndReplace);
    if (!stopped) state.stop = false;
    setUndoEnabled(createBackups_ && !undo_.empty());
}

void ModifyDriver::modifyRow(std::size_t index, const SearchConditions& c, const ModifyOptions& o) {
    results::ResultList& list = host_.results();
    const std::string path = list.row(index).fullName();
    const results::ModificationInterval interval = list.row(index).interval;
    const platform::FileLinks identity = env_.files.links(path);
    if (identity.inode != 0) {
        auto [it, fresh] = handled_.emplace(std::make_pair(identity.device, identity.inode), index);
        if (!fresh) {
            const std::size_t first = it->second;
            list.SetResultStatus(index, list.row(first).result);
            for (UndoEntry& e : undo_)
                if (e.row == first) e.aliasRows.push_back(index);
            if (list.row(first).result.rfind(results::kStatusModified, 0) == 0 && !host_.runState().stop)
                views_.fillSilent(index);
            return;
        }
    }
    FilePreparation prep = prepareFile(path, c.createBackups, o, env_.files, env_.attributes);

    RowEnd end = RowEnd::Failed;
    bool keepBackup = false;
    // Read-only, hidden and system files that were not cleared are refused, as the system
    // refuses to open them for writing; so is a file that vanished since the search.
    std::optional<std::string> original;
    if (prep.writable()) original = env_.files.read(path);
    if (original) {
        ModifyContext context(c, host_, env_.clock);
        FileModel model(std::move(*original));
        original.reset();
        EngineOutcome outcome = EngineOutcome::Failed;
        switch (c.searchType) {
            case SearchType::Phrase: outcome = PhraseModify(context, model, interval); break;
            case SearchType::RegExpr: outcome = RegExprModify(context, model, interval); break;
            case SearchType::Multiline: outcome = MultilineModify(context, model); break;
        }
        if (outcome == EngineOutcome::Stopped || context.stopped()) {
            end = RowEnd::Stopped;
        } else if (outcome == EngineOutcome::Done) {
            const std::string bytes = joinFileModel(model, o.separator);
            // Bytes that would not change need no write: the file stays as it is.
            if (bytes == model.original()) {
                end = RowEnd::Modified;
            } else {
                platform::RewriteOutcome written = env_.files.rewrite(path, bytes);
                if (written == platform::RewriteOutcome::Written) end = RowEnd::Modified;
                // The backup is the only intact copy left when putting the old bytes back failed.
                keepBackup = written == platform::RewriteOutcome::Damaged;
            }
        }
    }

    if (end == RowEnd::Modified) {
        // Only a file whose backup this run made can be undone; an older ".bak" would bring
        // back some earlier state.
        if (c.createBackups && prep.backupMade) undo_.push_back({path, index});
        list.SetResultStatus(index, results::kStatusModified);
        if (list.intervalDisplay) list.ShowRowInterval(index);
    } else if (end == RowEnd::Failed) {
        list.SetResultStatus(index, results::kStatusFailedModification);
        if (prep.backupMade && !keepBackup) env_.files.removeFile(backupName(path));
    }
    if (prep.saved) env_.attributes.restore(path, *prep.saved);
    // A rewrite through a temporary file gives the file a new inode; the other names of the
    // file must still recognise it.
    const platform::FileLinks rewritten = env_.files.links(path);
    if (rewritten.inode != 0) handled_.emplace(std::make_pair(rewritten.device, rewritten.inode), index);
    if (end == RowEnd::Modified && !host_.runState().stop) views_.fillSilent(index);
}

}  // namespace vsr::engine
