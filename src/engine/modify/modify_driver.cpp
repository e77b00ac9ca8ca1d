#include "engine/modify/modify_driver.h"

#include <new>

#include "engine/backup/backup_plan.h"
#include "engine/backup/write_marks.h"
#include "engine/modify/modify_content.h"
#include "engine/query/query_terms.h"
#include "engine/search/search_driver.h"
#include "results/status_texts.h"

namespace vsr::engine {
void ModifyDriver::setUndoEnabled(bool on) {
    undoEnabled_ = on;
    views_.setUndoEnabled(on);
}

void ModifyDriver::disableUndo() { setUndoEnabled(false); }

std::string ModifyDriver::failureOf(std::size_t row) const {
    const auto it = failures_.find(row);
    return it == failures_.end() ? std::string() : it->second;
}

void ModifyDriver::noteIdentity(std::size_t row) {
    results::ResultItem& item = list_.mutableRow(row);
    const durable::FileLinks now = env_.files.links(item.fullName());
    item.device = now.device;
    item.inode = now.inode;
}

namespace {

// Why a listed file could not be read for its modification: the search lists files of any
// size, but a modification holds the whole text.
std::string unreadable(const results::ResultItem& row) {
    if (row.bytes && *row.bytes > platform::kMaxReadableFileSize)
        return "it is larger than 2 GB - 1 bytes, more than a modification holds";
    return "it can't be read";
}

// A search reaches files in folders nested deeper than a full name the system takes, through the
// folders' handles; a modification names its files in full, so it can't take them.
std::string nameTooLong() {
    return "its full name is longer than the system takes (" + std::to_string(platform::kLongestFullName - 1) +
           " bytes)";
}

// The folder the search walked, as the search takes the Path; none for a search in the listed
// files, which may lie anywhere: each file's own folder is then where it is reached from.
std::string searchedRoot(const SearchConditions& c) {
    return c.searchInResults ? std::string() : std::string(trim(c.path));
}

constexpr const char* kNotTheFileRead = "it is no longer the file the search read";
constexpr const char* kNoBackupPlace = "its backup could not be made";

// Why the marks of a file refuse its write.
std::string markRefusal(const WriteMarks& prep, bool createBackups) {
    if (!prep.attributes) return "it can't be found";
    const platform::FileAttributes& a = *prep.attributes;
    if (a.system) return "it is a system file";
    const char* mark = a.readOnly && a.hidden ? "read-only and hidden" : a.readOnly ? "read-only" : "hidden";
    if (!createBackups) return std::string("it is ") + mark + ", which only a run with backups may modify";
    return std::string("it is ") + mark + ", and the settings do not allow modifying such files";
}

}  // namespace

const char* modifyRefusal(const SearchConditions& c) {
    if (c.searchType == SearchType::Phrase && c.searchText.empty()) return kNoSearchString;
    if (c.searchType != SearchType::Phrase && isEmptyMemo(c.searchLines)) return kNoSearchText;
    return nullptr;
}

void ModifyDriver::Modify(ModifyScope scope, const SearchConditions& c, const ModifyOptions& o) {
    if (!beginModify(scope, c)) return;
    RunState& state = control_.runState();
    results::ResultList& list = list_;
    const std::size_t first = scope == ModifyScope::Selected ? static_cast<std::size_t>(list.firstSelected()) : 0;
    startPrefetch(first, scope, c, o);
    bool stopped = false;
    for (std::size_t i = first; i < list.count(); ++i) {
        if (state.stop || state.modificationStop) {
            stopped = true;
            break;
        }
        if (scope == ModifyScope::All || list.row(i).selected) modifyEach(i, c, o);
        pumpIfDue(control_, env_.clock, 15);
    }
    finishModify(stopped);
}

bool ModifyDriver::beginListed(const SearchConditions& c, const ModifyOptions& o) {
    listed_.reset();
    if (!dryRun_ || !beginModify(ModifyScope::All, c)) return false;
    listed_.emplace(ListedRun{c, o});
    return true;
}

void ModifyDriver::modifyListed(std::size_t row) {
    if (!listed_ || listed_->stopped) return;
    const RunState& state = control_.runState();
    if (state.stop || state.modificationStop) {
        listed_->stopped = true;
        return;
    }
    modifyEach(row, listed_->conditions, listed_->options);
}

void ModifyDriver::endListed() {
    if (!listed_) return;
    const bool stopped = listed_->stopped;
    listed_.reset();
    finishModify(stopped);
}

void ModifyDriver::modifyEach(std::size_t i, const SearchConditions& c, const ModifyOptions& o) {
    // A row with no marked line is not to be touched at all.
    if (c.intervalsInUse() && list_.row(i).interval.isNil()) return;
    try {
        modifyRow(i, c, o);
    } catch (const std::bad_alloc&) {
        // A file the memory does not suffice for stays as it was: its row says the
        // modification failed, what the file held goes back, and the run goes on.
        if (query_->matcher()) query_->matcher()->release();
        finishRow(i, false, false, "there is not enough memory for it");
    }
    takePublished(false);
}

void ModifyDriver::finishModify(bool stopped) {
    RunState& state = control_.runState();
    if (!stopped && (state.stop || state.modificationStop)) stopped = true;
    prefetch_.reset();
    // Files that were completely processed are published, also when Stop ended the run.
    publishAll();
    query_.reset();
    tree_.reset();
    endRun(stopped);
}

bool ModifyDriver::beginModify(ModifyScope scope, const SearchConditions& c) {
    RunState& state = control_.runState();
    results::ResultList& list = list_;
    sink_.setStatusText(kBackupPanel, "");
    state.modificationStop = false;
    setUndoEnabled(false);

    if (const char* refusal = modifyRefusal(c)) {
        sink_.message(kModifyCaption, refusal, MessageIcon::Warning);
        return false;
    }
    if (scope == ModifyScope::Selected && list.firstSelected() < 0) {
        sink_.message(kModifyCaption, kNoSelection, MessageIcon::Warning);
        sink_.endRun(Tab::SearchAndReplace);
        return false;
    }
    state.stop = false;
    state.lastPumpMs = env_.clock.tickMs();

    sink_.beginRun(Tab::SearchAndReplace);
    sink_.setBusyAnimation(true);
    sink_.historyUsed(HistoryField::ReplaceText, c.replaceText);
    undo_.clear();
    handled_.clear();
    failures_.clear();
    readAs_.clear();
    staged_.clear();
    pending_.clear();
    createBackups_ = c.createBackups;
    undoRoot_ = searchedRoot(c);
    views_.clearLinesViewer();
    views_.setLinesViewerPainting(false);
    list.busy = true;

    // The query is compiled once for the run; each file is matched by the same matcher.
    query_ = std::make_unique<ModifyQuery>(c, control_, env_.clock);
    // Every file is reached from the searched folder without following a link in its folders; a
    // dry run refuses the same files, so its diff is what the run writes.
    tree_ = std::make_unique<platform::SearchedTree>(searchedRoot(c));
    return true;
}

void ModifyDriver::endRun(bool stopped) {
    RunState& state = control_.runState();
    results::ResultList& list = list_;
    list.busy = false;
    const long long selected = list.firstSelected();
    if (!stopped && selected >= 0) {
        views_.fillSilent(static_cast<std::size_t>(selected));
        views_.scrollRowIntoView(static_cast<std::size_t>(selected));
    }
    if (stopped && selected < 0) views_.clearLinesViewer();
    views_.setLinesViewerPainting(true);
    if (!stopped) control_.pumpMessages();
    sink_.setBusyAnimation(false);
    sink_.endRun(Tab::SearchAndReplace);
    if (!stopped) state.stop = false;
    setUndoEnabled(createBackups_ && !undo_.empty());
}

void ModifyDriver::modifyRow(std::size_t index, const SearchConditions& c, const ModifyOptions& o) {
    results::ResultList& list = list_;
    const std::string path = list.row(index).fullName();
    // Refused before anything is read, in a dry run too, which must say what the run would do.
    if (path.size() >= platform::kLongestFullName) {
        finishRow(index, false, false, nameTooLong());
        return;
    }
    auto identityOf = [&] {
        const durable::FileLinks identity = env_.files.links(path);
        return std::make_pair(identity.device, identity.inode);
    };
    // A row the search modified already brings its file's identity and marks along.
    std::optional<ModifiedAhead> ahead;
    // What the search modified ahead made every edit; a choice needs its own run of the file.
    if (ahead_ && !skippedOf(path)) ahead = ahead_->take(path, list.row(index).interval);
    auto key = ahead ? std::make_pair(ahead->device, ahead->inode) : identityOf();
    auto it = key.second != 0 ? handled_.find(key) : handled_.end();
    if (it != handled_.end()) {
        // The other name's rewrite must be published before its Result can be shared. Its old
        // file may have lost its last name meanwhile and its number gone to a file made since:
        // the name is asked again once the rewrites are published.
        publishAll();
        key = identityOf();
        it = key.second != 0 ? handled_.find(key) : handled_.end();
    }
    if (it != handled_.end()) {
        const std::size_t first = it->second;
        list.copyResultStatus(index, first);
        for (UndoEntry& e : undo_)
            if (e.row == first) e.aliasRows.push_back(index);
        if (list.row(first).status == results::RowStatus::Modified) {
            if (!dryRun_) noteIdentity(index);
            if (!control_.runState().stop) views_.fillSilent(index);
        }
        return;
    }
    // A name refused for its marks does not stand for the file: another name of it may still
    // modify it.
    WriteMarks prep;
    platform::FileStamp stamp;
    ModifiedContent content;
    std::optional<platform::FilePlace> place;
    bool changed = false;
    if (ahead) {
        if (!aheadContent(index, *ahead, content, changed)) return;
    } else {
        if (!contentOf(index, c, o, prep, stamp, content, place)) return;
        changed = content.changed();
    }
    if (key.second != 0) {
        handled_.emplace(key, index);
        if (!dryRun_) readAs_[index] = key;
    }
    // A stopped file is not written, and no backup of it was made.
    if (content.outcome == EngineOutcome::Stopped) return;
    if (content.outcome != EngineOutcome::Done) {
        finishRow(index, false, false,
                  content.failure.empty() ? std::string("its marked lines reach past the end of the file")
                                          : content.failure);
        return;
    }
    if (content.leftAlone) {
        leaveUnchanged(index);
        return;
    }
    // Bytes that would not change need no write and no backup: the file stays as it is.
    if (!changed) {
        finishRow(index, true, false);
        return;
    }
    if (dryRun_) {
        dryRun_(index, stagedNote_);
        finishRow(index, true, false);
        return;
    }
    durable::RewriteRequest request;
    request.path = path;
    request.bytes = content.bytes;
    request.oldBytes = content.original;
    request.readAs = stamp;
    request.clearReadOnly = prep.readOnlyCleared();
    std::string why;
    std::optional<BackupPlan> backup = planBackup(c.createBackups, path, list.row(index).path, place, tree_.get(), why);
    if (!backup) {
        finishRow(index, false, false, std::string(kNoBackupPlace) + ": " + why);
        return;
    }
    request.makeBackup = backup->make;
    request.backupPath = std::move(backup->path);
    if (place) request.place = *place;
    request.backupPlace = std::move(backup->place);
    switch (env_.files.stageRewrite(request, index)) {
        case durable::RewriteBatch::Staged::Pending: {
            if (pending_.empty()) batchStartMs_ = env_.clock.tickMs();
            pending_.push_back(index);
            // The new file may take the name before the row learns of it: another name of the
            // file must already recognise it then.
            const durable::FileId id = env_.files.lastStaged();
            if (id.inode != 0) {
                const auto made = std::make_pair(id.device, id.inode);
                handled_.emplace(made, index);
                staged_[index] = made;
            }
            break;
        }
        case durable::RewriteBatch::Staged::Written: finishRow(index, true, env_.files.lastBackupMade()); break;
        case durable::RewriteBatch::Staged::Refused:
        case durable::RewriteBatch::Staged::Damaged: finishRow(index, false, false, env_.files.lastRefusal()); break;
    }
    // A batch is sent when it is full, or when it has waited long enough that the rows should
    // show their progress.
    if (!pending_.empty() && (env_.files.rewritesFull() || env_.clock.tickMs() - batchStartMs_ >= kBatchWaitMs))
        sendBatch();
}

void ModifyDriver::startPrefetch(std::size_t first, ModifyScope scope, const SearchConditions& c,
                                 const ModifyOptions& o) {
    prefetch_.reset();
    jobOf_.clear();
    const int threads = threads_ == 1 ? 1 : SearchDriver::resolveThreads(threads_);
    if (threads <= 1) return;
    const results::ResultList& list = list_;
    std::vector<ModifyPrefetch::Job> jobs;
    jobOf_.assign(list.count(), static_cast<std::size_t>(-1));
    for (std::size_t i = first; i < list.count(); ++i) {
        const results::ResultItem& row = list.row(i);
        if (scope == ModifyScope::Selected && !row.selected) continue;
        if (c.intervalsInUse() && row.interval.isNil()) continue;
        const SkippedEdits* skipped = skippedOf(row.fullName());
        if (ahead_ && !skipped && ahead_->has(row.fullName(), row.interval)) continue;
        jobOf_[i] = jobs.size();
        jobs.push_back({row.fullName(), row.interval, skipped});
    }
    if (jobs.size() < 2) return;
    prefetch_ =
        std::make_unique<ModifyPrefetch>(threads, c, env_.files, o.separator, step_, std::move(jobs), tree_.get());
}

bool ModifyDriver::contentOf(std::size_t index, const SearchConditions& c, const ModifyOptions& o,
                             WriteMarks& prep, platform::FileStamp& stamp, ModifiedContent& content,
                             std::optional<platform::FilePlace>& place) {
    const results::ResultItem& row = list_.row(index);
    const std::string path = row.fullName();
    stagedNote_.clear();
    // A file that is not the one the search read is someone else's: a name swapped since.
    auto readAsListed = [&] {
        if (dryRun_ || row.inode == 0 || (stamp.device == row.device && stamp.inode == row.inode)) return true;
        finishRow(index, false, false, kNotTheFileRead);
        return false;
    };
    if (!prefetch_ || jobOf_[index] == static_cast<std::size_t>(-1)) {
        prep = checkWriteMarks(path, c.createBackups, {o.replaceReadOnly, o.replaceHidden}, env_.attributes);
        if (!prep.writable()) {
            finishRow(index, false, false, markRefusal(prep, c.createBackups));
            return false;
        }
        std::string why;
        if (tree_ && !(place = tree_->place(path, why))) {
            finishRow(index, false, false, why);
            return false;
        }
        std::optional<std::string> original = place ? env_.files.readAt(*place, &stamp) : env_.files.read(path, &stamp);
        if (!original) {
            finishRow(index, false, false, unreadable(row));
            return false;
        }
        if (!readAsListed()) return false;
        ModifyContext context(c, *query_, sink_, control_, env_.clock);
        context.chooseEdits(skippedOf(path));
        content = modifyContent(context, std::move(*original), list_.row(index).interval, o.separator);
        if (step_ && content.changed()) stagedNote_ = step_(path, content.original, content);
        return true;
    }
    // The marks are tested here, in row order, as a single thread tests them.
    prep = checkWriteMarks(path, c.createBackups, {o.replaceReadOnly, o.replaceHidden}, env_.attributes);
    if (!prep.writable()) {
        finishRow(index, false, false, markRefusal(prep, c.createBackups));
        return false;
    }
    RunState& state = control_.runState();
    std::optional<PreparedRow> ready = prefetch_->take(
        jobOf_[index], [&] { pumpIfDue(control_, env_.clock, 15); }, 15,
        [&] { return state.stop || state.modificationStop; });
    // Stop while waiting: the file is left as a stopped engine leaves it.
    if (!ready) return false;
    for (const HeldMessage& m : ready->messages) sink_.message(m.caption, m.text, m.icon);
    if (ready->stopRequested) state.stop = true;
    if (ready->failed || !ready->read) {
        finishRow(index, false, false,
                  ready->failed             ? std::string("there is not enough memory for it")
                  : !ready->refusal.empty() ? ready->refusal
                                            : unreadable(row));
        return false;
    }
    stamp = ready->stamp;
    place = std::move(ready->place);
    if (!readAsListed()) return false;
    content = std::move(ready->content);
    stagedNote_ = std::move(ready->note);
    // Stop wins over any other outcome, as in the engine itself.
    if (state.stop) content.outcome = EngineOutcome::Stopped;
    return true;
}

bool ModifyDriver::aheadContent(std::size_t index, ModifiedAhead& ahead, ModifiedContent& content, bool& changed) {
    stagedNote_.clear();
    // The marks refuse the write as they would here.
    if (!ahead.prep.writable()) {
        finishRow(index, false, false, markRefusal(ahead.prep, createBackups_));
        return false;
    }
    // A file the run could not reach without following a link is refused as the run refuses it.
    std::string why;
    if (tree_ && !tree_->place(list_.row(index).fullName(), why)) {
        finishRow(index, false, false, why);
        return false;
    }
    RunState& state = control_.runState();
    for (const HeldMessage& m : ahead.messages) sink_.message(m.caption, m.text, m.icon);
    if (ahead.stopRequested) state.stop = true;
    content.outcome = state.stop ? EngineOutcome::Stopped : ahead.outcome;
    changed = ahead.changed;
    stagedNote_ = std::move(ahead.note);
    return true;
}

void ModifyDriver::sendBatch() {
    pending_.clear();
    env_.files.sendRewrites();
}

void ModifyDriver::takePublished(bool wait) {
    for (const durable::RewriteBatch::Published& done : env_.files.takePublished(wait))
        finishRow(done.tag, done.outcome == durable::RewriteOutcome::Written, done.backupMade, done.reason);
}

void ModifyDriver::publishAll() {
    sendBatch();
    takePublished(true);
}

void ModifyDriver::leaveUnchanged(std::size_t index) {
    list_.SetResultStatus(index, results::RowStatus::LeftUnchanged);
}

void ModifyDriver::finishRow(std::size_t index, bool modified, bool backupMade, std::string failure) {
    results::ResultList& list = list_;
    if (auto it = staged_.find(index); it != staged_.end()) {
        // A new file that never took the name is no name of this file.
        if (auto h = handled_.find(it->second); !modified && h != handled_.end() && h->second == index)
            handled_.erase(h);
        staged_.erase(it);
    }
    if (!modified) {
        list.SetResultStatus(index, results::RowStatus::FailedModification);
        failures_[index] = std::move(failure);
        return;
    }
    list.SetResultStatus(index, results::RowStatus::Modified);
    if (list.intervalDisplay) list.ShowRowInterval(index);
    // A dry run rewrote nothing: the file is still the one it read.
    if (dryRun_) return;
    const std::string path = list.row(index).fullName();
    // A rewrite through a new file gives the file a new inode; the other names of the file
    // must still recognise it, and so must Undo.
    const durable::FileLinks rewritten = env_.files.links(path);
    // Only a file whose backup this run made can be undone; an older ".bak" would bring back
    // some earlier state.
    if (createBackups_ && backupMade) undo_.push_back({path, index, {}, rewritten.device, rewritten.inode});
    if (rewritten.inode != 0) {
        results::ResultItem& row = list.mutableRow(index);
        row.device = rewritten.device;
        row.inode = rewritten.inode;
        const auto key = std::make_pair(rewritten.device, rewritten.inode);
        // A file published under a new inode has left its old one free, and the system may give
        // that number to a file made since (another program's save): that file is not this one.
        const auto before = readAs_.find(index);
        if (before != readAs_.end() && before->second != key) {
            const auto it = handled_.find(before->second);
            if (it != handled_.end() && it->second == index) handled_.erase(it);
        }
        handled_.emplace(key, index);
    }
    if (!control_.runState().stop) views_.fillSilent(index);
}

}  // namespace vsr::engine
