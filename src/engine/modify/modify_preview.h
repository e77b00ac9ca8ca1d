#pragma once
#include <cstddef>
#include <functional>
#include <string>

#include "engine/modify/edit_choice.h"
#include "engine/modify/edit_observer.h"
#include "engine/modify/modify_content.h"
#include "engine/modify/modify_driver.h"

namespace vsr::engine {

// What Modify would do to one row's file.
enum class PreviewState {
    Changed,    // the file would be rewritten with content.bytes
    Unchanged,  // the file would stay as it is (no occurrence, or no marked line)
    Refused,    // Modify would refuse the conditions, or the file: its marks refuse the write, or
                // it can't be read
    Failed,     // the engine fails the file (e.g. the interval reaches past its end)
    Stopped,    // the stop flag ended the engine, or a message ended the run
};

struct RowPreview {
    PreviewState state = PreviewState::Refused;
    ModifiedContent content;
};

// One row's new content, computed by the path Modify takes (marks, reading, the engine of the
// search type, the separator and last-byte rule), without writing anything. The engine's
// messages go to `sink`; `control` paces pumping and holds the stop flag. The edits `skipped`
// names are not made (a file whose edits are all off is Unchanged, content.leftAlone), and
// `observer` (when given) sees each edit made.
RowPreview previewRow(ModifyEnv env, SearchSink& sink, RunControl& control, const results::ResultItem& item,
                      const SearchConditions& conditions, const ModifyOptions& options,
                      const SkippedEdits* skipped = nullptr, EditObserver* observer = nullptr);
// For a caller that is sink, run control and list owner in one: row `row` of its list.
inline RowPreview previewRow(ModifyEnv env, SearchHost& host, std::size_t row, const SearchConditions& conditions,
                             const ModifyOptions& options, const SkippedEdits* skipped = nullptr) {
    return previewRow(env, host, host, host.results().row(row), conditions, options, skipped);
}

// A store that reads through to the disk and writes nothing: every rewrite Modify hands to it
// goes to `proposal` instead, so a whole Modify All runs as a dry run. Undo has nothing to do.
class DryRunStore final : public durable::FileStore {
public:
    struct Proposal {
        std::size_t row;
        const std::string& path;
        std::string_view oldBytes;
        std::string_view bytes;
    };
    DryRunStore(durable::FileStore& disk, std::function<void(const Proposal&)> proposal)
        : disk_(disk), proposal_(std::move(proposal)) {}

    bool exists(const std::string& path) override { return disk_.exists(path); }
    durable::FileLinks links(const std::string& path) override { return disk_.links(path); }
    std::optional<std::string> read(const std::string& path, platform::FileStamp* stamp = nullptr) override {
        return disk_.read(path, stamp);
    }
    durable::RewriteBatch::Staged stageRewrite(const durable::RewriteRequest& request, std::size_t tag) override {
        proposal_({tag, request.path, request.oldBytes, request.bytes});
        return durable::RewriteBatch::Staged::Written;
    }
    bool lastBackupMade() const override { return false; }
    bool rewritesFull() const override { return false; }
    std::vector<durable::RewriteBatch::Published> commitRewrites() override { return {}; }
    bool restoreBackup(const std::string&, const std::string&) override { return false; }
    bool removeFile(const std::string&) override { return false; }

private:
    durable::FileStore& disk_;
    std::function<void(const Proposal&)> proposal_;
};

}  // namespace vsr::engine
