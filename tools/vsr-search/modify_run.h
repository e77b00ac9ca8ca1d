#pragma once
#include <cstdio>
#include <memory>

#include "engine/modify/listed_modifications.h"
#include "engine/search/search_run.h"
#include "modify_options.h"
#include "platform/attribute_changer.h"
#include "platform/file_store.h"

namespace vsr::tools {

// The part of a dry run (--dry-run) done during the search: each listed file is modified, and
// its diff made, by the search thread that read it. Made before the search, whose driver gets
// step(); runModification then takes the rows from it in order.
class DryRunAhead {
public:
    // `conditions` must outlive this; its path is read when a diff is made, after the search
    // normalized it.
    DryRunAhead(const engine::SearchConditions& conditions, const ModifyRequest& request);
    engine::ListedModifications& step() { return *modifications_; }

private:
    platform::PosixFileStore disk_;
    platform::PosixAttributeChanger attributes_;
    std::unique_ptr<engine::ListedModifications> modifications_;
};

// Runs Modify All over the rows the search listed, as the window's button would, and prints
// "<full path>\t<Found>\t<Result>" per row; with --undo-after then Undo and the rows again.
// Returns 3 when a row failed to be modified or restored, else 0. A dry run takes what `ahead`
// made during the search.
int runModification(std::FILE* out, const engine::SearchConditions& conditions, const ModifyRequest& request,
                    engine::SearchEnv env, engine::SearchHost& host, DryRunAhead* ahead = nullptr);

}  // namespace vsr::tools
