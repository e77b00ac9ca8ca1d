#pragma once
#include <cstdio>
#include <memory>

#include "diff_output.h"
#include "engine/modify/listed_modifications.h"
#include "engine/modify/modify_driver.h"
#include "engine/modify/modify_preview.h"
#include "engine/search/search_run.h"
#include "modify_options.h"
#include "platform/attribute_changer.h"
#include "durable/file_store.h"

namespace vsr::tools {

// A dry run (--dry-run) done along with the search: each listed file is modified, and its diff
// made, by the search thread that read it (step()); each row is taken the moment the search
// lists it (rowListed), its diff printed then, so no diff waits for the search to end. Made
// before the search; begin() before it, finish() after it.
class ListedDryRun {
public:
    // `conditions` must outlive this; its path is read when a diff is made, after the search
    // normalized it.
    ListedDryRun(std::FILE* out, const engine::SearchConditions& conditions, const ModifyRequest& request,
                 engine::SearchEnv env, engine::SearchHost& host);
    ~ListedDryRun();
    engine::ListedModifications& step() { return *modifications_; }
    // False when Modify would refuse these conditions: the rows are then left for
    // runModification after the search, which says why.
    bool begin();
    bool begun() const { return begun_; }
    // The search listed `row` (the last of the list).
    void rowListed(std::size_t row);
    // After the search: names the rows that would fail; 3 when one did, else 0.
    int finish();

private:
    const engine::SearchConditions& conditions_;
    const ModifyRequest& request_;
    engine::SearchHost& host_;
    std::unique_ptr<DiffOutput> diffs_;
    durable::PosixFileStore disk_;
    platform::PosixAttributeChanger attributes_;
    std::unique_ptr<engine::DryRunStore> store_;
    std::unique_ptr<engine::ModifyDriver> driver_;
    std::unique_ptr<engine::ListedModifications> modifications_;
    bool begun_ = false;
};

// The name of `fullName` relative to the search folder `root`, as diffs name files.
std::string_view relativeName(const std::string& root, std::string_view fullName);

// Runs Modify All over the rows the search listed, as the window's button would, and prints
// "<full path>\t<Found>\t<Result>" per row; with --undo-after then Undo and the rows again.
// Returns 3 when a row failed to be modified or restored, else 0. A dry run that `listed` began
// is finished. With --review, the edits are reviewed first (answers from `answers`, questions
// on standard error) and Modify Selected writes, or the dry run shows, the kept ones.
int runModification(std::FILE* out, const engine::SearchConditions& conditions, const ModifyRequest& request,
                    engine::SearchEnv env, engine::SearchHost& host, ListedDryRun* listed = nullptr,
                    std::FILE* answers = stdin);

}  // namespace vsr::tools
