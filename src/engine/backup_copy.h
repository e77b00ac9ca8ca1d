#pragma once
#include <optional>
#include <string>

#include "engine/modify_context.h"
#include "platform/attribute_changer.h"
#include "platform/file_store.h"

namespace vsr::engine {

// The attribute and backup part of one file's modification.
struct FilePreparation {
    std::optional<platform::FileAttributes> attributes;  // as found; nothing when the file is missing
    std::optional<platform::SavedAttributes> saved;      // set when the attributes were cleared
    bool backupMade = false;

    // Whether the file may be written: it has none of read-only, hidden and system, or they
    // were cleared for this step.
    bool writable() const;
};

// With backups on, clears the read-only and hidden marks the options allow (never a system
// file's) and copies the file to its ".bak" when it then has none of them; errors here are
// ignored. With backups off only the attributes are read.
FilePreparation prepareFile(const std::string& path, bool createBackups, const ModifyOptions& options,
                            platform::FileStore& files, platform::AttributeChanger& attributes);

}  // namespace vsr::engine
