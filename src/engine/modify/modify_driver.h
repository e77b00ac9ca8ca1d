#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/backup/backup_undo_list.h"
#include "engine/modify/listed_modifications.h"
#include "engine/modify/modify_context.h"
#include "engine/modify/modify_prefetch.h"
#include "engine/modify/modify_views.h"
#include "engine/search/search_host.h"
#include "platform/attribute_changer.h"
#include "platform/clock.h"
#include "durable/file_store.h"

namespace vsr::engine {

enum class ModifyScope { Selected, All };

// The platform services of modification, backups and undo, owned by the caller.
struct ModifyEnv {
    durable::FileStore& files;
    platform::AttributeChanger& attributes;
    platform::Clock& clock;
};

inline constexpr const char* kModifyCaption = "Modify";
inline constexpr const char* kNoSearchString = "Please specify the string to search and click Search before modification";
inline constexpr const char* kNoSearchText = "Please specify the text to search and click Search before modification";
inline constexpr const char* kNoSelection = "Please select some items";

// The message with which Modify refuses to run on these conditions (no search text), or null.
const char* modifyRefusal(const SearchConditions& conditions);

// Modify Selected, Modify All and Undo: rewrites the listed files with the modification type,
// keeps the undo list of the last run and puts the backups back on Undo.
class ModifyDriver {
public:
    ModifyDriver(ModifyEnv env, SearchSink& sink, RunControl& control, results::ResultList& list,
                 ModifyViews* views = nullptr)
        : env_(env), sink_(sink), control_(control), list_(list), views_(views ? *views : noViews_) {}
    // For a caller that is sink, run control and list owner in one.
    ModifyDriver(ModifyEnv env, SearchHost& host, ModifyViews* views = nullptr)
        : ModifyDriver(env, host, host, host.results(), views) {}

    // The threads that read and modify files ahead of the writes: 1 (the default) does every
    // step in turn on the calling thread, 0 takes one per processor. Files are written, rows
    // updated and messages shown in row order either way.
    void setThreads(int threads) { threads_ = threads; }
    // Work on each changed file's modification, done by the thread that modified it; what
    // it returns is stagedNote() while that file's rewrite is handed to the store.
    void setContentStep(ContentStep step) { step_ = std::move(step); }
    const std::string& stagedNote() const { return stagedNote_; }
    // A dry run: no file is written and no attribute changed. Each file the run would rewrite
    // goes to `proposed` instead, in row order, with its note (see setContentStep), which it may
    // take, and its row says Modified. The rows `ahead` (if given) modified during the search
    // are taken from it rather than read and modified again.
    using Proposal = std::function<void(std::size_t row, std::string& note)>;
    void setDryRun(Proposal proposed, ListedModifications* ahead = nullptr) {
        dryRun_ = std::move(proposed);
        ahead_ = dryRun_ ? ahead : nullptr;
    }

    // The edits the user turned off, by file, for the runs that follow (null: every edit kept,
    // the default). It must stay unchanged while a run goes. A file whose edits are all off is
    // not written (no backup, no undo entry) and its row says "Left Unchanged"; the others get
    // exactly their kept edits.
    void setEditChoice(const EditChoice* choice) { choice_ = choice; }

    // One modification run over the selected rows or all rows of the results list.
    void Modify(ModifyScope scope, const SearchConditions& conditions, const ModifyOptions& options);
    void ReplaceInFileBit1Click(const SearchConditions& c, const ModifyOptions& o) { Modify(ModifyScope::Selected, c, o); }
    void ReplaceAllBit1Click(const SearchConditions& c, const ModifyOptions& o) { Modify(ModifyScope::All, c, o); }

    // A dry run of Modify All (setDryRun) that takes each row as the search lists it rather than
    // after the search: beginListed before the search (false when Modify refuses to run, with its
    // message), modifyListed for each row the moment it is listed (its interval set), endListed
    // after the search. Each row gives what Modify All over the finished list gives it; a run
    // stopped meanwhile (the search's end cut short) takes no more rows.
    bool beginListed(const SearchConditions& conditions, const ModifyOptions& options);
    void modifyListed(std::size_t row);
    void endListed();

    // Puts every backup of the last run back in place of its file.
    void UndoReplaceBitClick();

    const UndoList& undoList() const { return undo_; }
    // Undo is possible: the last run had backups on and rewrote files, and nothing disabled it since.
    bool undoEnabled() const { return undoEnabled_; }
    // Turning backups off, hiding the list, removing or renaming rows disable Undo.
    void disableUndo();
    // Why the last run left row `row` as "Failed Modification" ("it changed since it was
    // read"); empty when the row did not fail or no reason is known.
    std::string failureOf(std::size_t row) const;

private:
    // The start of a run: false (with the message) when it can't run at all.
    bool beginModify(ModifyScope scope, const SearchConditions& c);
    // One row of the run: its steps, unless it has no marked line; then the Results of the
    // rewrites published meanwhile.
    void modifyEach(std::size_t row, const SearchConditions& c, const ModifyOptions& o);
    // The rewrites still waiting published, the run ended.
    void finishModify(bool stopped);
    // Runs the per-file steps for `row`; a rewrite may wait in the batch until sendBatch().
    void modifyRow(std::size_t row, const SearchConditions& c, const ModifyOptions& o);
    // Hands the waiting rewrites over to be published while the run goes on.
    void sendBatch();
    // Gives the rows of the rewrites published so far their Result; with `wait`, of every one sent.
    void takePublished(bool wait);
    // Sends the waiting rewrites and gives every row its Result.
    void publishAll();
    void finishRow(std::size_t row, bool modified, bool backupMade, std::string failure = {});
    // The row's file is not touched: the user turned all its edits off.
    void leaveUnchanged(std::size_t row);
    // Starts the workers over the rows the run will modify (when more than one thread is set).
    void startPrefetch(std::size_t first, ModifyScope scope, const SearchConditions& c, const ModifyOptions& o);
    // The row's file read and modified: by the workers, or here. False when the row is done
    // with (failed, or stopped and not to be written).
    bool contentOf(std::size_t row, const SearchConditions& c, const ModifyOptions& o, WriteMarks& prep,
                   platform::FileStamp& stamp, ModifiedContent& content, std::optional<platform::FilePlace>& place);
    // Gives row `row` the identity its file has now, as the file the run last wrote.
    void noteIdentity(std::size_t row);
    // The same for a row modified during the search: its marks, messages and outcome; false
    // when the row is done with. `changed` tells whether the file would be rewritten.
    bool aheadContent(std::size_t row, ModifiedAhead& ahead, ModifiedContent& content, bool& changed);
    void setUndoEnabled(bool on);
    void endRun(bool stopped);
    bool ledElsewhere(const UndoEntry& entry);

    ModifyEnv env_;
    SearchSink& sink_;
    RunControl& control_;
    results::ResultList& list_;
    ModifyViews noViews_;
    ModifyViews& views_;
    UndoList undo_;
    // The folder the run that made the undo list searched: Undo reaches its files from it too.
    std::string undoRoot_;
    // The compiled query of the running modification and its matcher.
    std::unique_ptr<ModifyQuery> query_;
    // The folder the run's files are reached from.
    std::unique_ptr<platform::SearchedTree> tree_;
    // Files this run already handled, by device and inode before and after the rewrite, with the
    // row that did: a file listed
    // under two names (a link and its target, two hard links) is modified once, not twice.
    struct FileKeyHash {
        std::size_t operator()(const std::pair<std::uint64_t, std::uint64_t>& key) const {
            return std::hash<std::uint64_t>{}(key.second * 0x9e3779b97f4a7c15ull ^ key.first);
        }
    };
    std::unordered_map<std::pair<std::uint64_t, std::uint64_t>, std::size_t, FileKeyHash> handled_;
    // The device and inode each handled row's file had when it was read (a dry run, which
    // rewrites nothing, needs none).
    std::map<std::size_t, std::pair<std::uint64_t, std::uint64_t>> readAs_;
    // Why each failed row failed.
    std::map<std::size_t, std::string> failures_;
    // The new file of each row whose rewrite is on its way, as noted in handled_.
    std::map<std::size_t, std::pair<std::uint64_t, std::uint64_t>> staged_;
    // Rows whose rewrite waits in the batch, since batchStartMs_.
    std::vector<std::size_t> pending_;
    std::int64_t batchStartMs_ = 0;
    static constexpr std::int64_t kBatchWaitMs = 250;
    bool undoEnabled_ = false;
    bool createBackups_ = false;
    int threads_ = 1;
    ContentStep step_;
    std::string stagedNote_;
    Proposal dryRun_;
    ListedModifications* ahead_ = nullptr;
    const EditChoice* choice_ = nullptr;
    const SkippedEdits* skippedOf(const std::string& fullName) const {
        return choice_ ? choice_->of(fullName) : nullptr;
    }
    // The dry run taking rows as they are listed.
    struct ListedRun {
        const SearchConditions& conditions;
        ModifyOptions options;
        bool stopped = false;
    };
    std::optional<ListedRun> listed_;
    std::unique_ptr<ModifyPrefetch> prefetch_;
    std::vector<std::size_t> jobOf_;  // the prefetch job of each row
};

}  // namespace vsr::engine
