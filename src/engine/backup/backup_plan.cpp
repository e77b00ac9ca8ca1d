#include "engine/backup/backup_plan.h"

#include "platform/file_system.h"

namespace vsr::engine {

std::string backupName(const std::string& path) { return path + ".bak"; }

std::optional<BackupPlan> planBackup(bool createBackups, const std::string& path, const std::string& rowFolder,
                                     const std::optional<platform::FilePlace>& place,
                                     const platform::SearchedTree* tree, std::string& why) {
    BackupPlan plan;
    plan.make = createBackups;
    plan.path = backupName(path);
    if (!place) return plan;
    const std::string backupFile = platform::fileNamePart(plan.path);
    if (place->folder->path() == rowFolder) {
        plan.place = platform::FilePlace{place->folder, backupFile};
    } else if (auto beside = tree ? tree->placeBeside(path, backupFile, why) : std::nullopt) {
        plan.place = std::move(*beside);
    } else if (createBackups) {
        return std::nullopt;
    }
    return plan;
}

}  // namespace vsr::engine
