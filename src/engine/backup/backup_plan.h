#pragma once
#include <optional>
#include <string>

#include "platform/file_place.h"

namespace vsr::engine {

// The name of a file's backup: its own name with ".bak" added.
std::string backupName(const std::string& path);

// Whether and where the rewrite of one listed file keeps the old file.
struct BackupPlan {
    bool make = false;  // a user who asked for backups never gets a change without one
    std::string path;   // the backup's full name, beside the row's own name
    // Where the backup lies when the file is reached beneath the searched folder (else empty).
    platform::FilePlace place;
};

// The backup of `path`, reached at `place` (when the run reaches files beneath `tree`) and
// listed in the folder `rowFolder`. The backup lies beside the row's own name, which for a
// link is not beside its target. Null, with `why`, when backups are asked for and no place
// for one can be had: the file must then not be rewritten.
std::optional<BackupPlan> planBackup(bool createBackups, const std::string& path, const std::string& rowFolder,
                                     const std::optional<platform::FilePlace>& place,
                                     const platform::SearchedTree* tree, std::string& why);

}  // namespace vsr::engine
