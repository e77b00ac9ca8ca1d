#pragma once
#include <optional>
#include <string>

#include "engine/backup/backup_copy.h"
#include "engine/modify/modify_context.h"
#include "platform/file_store.h"

namespace vsr::engine {

// One file's bytes after the modification, computed in memory: what Modify hands to the writer.
struct ModifiedContent {
    // Done: `bytes` holds the content to write. Stopped: the stop flag ended the engine (the
    // file is not written). Failed: the file can't be modified (it is not written either).
    EngineOutcome outcome = EngineOutcome::Failed;
    std::string original;  // the bytes as read
    std::string bytes;     // the bytes Modify writes; only meaningful when outcome is Done

    // Modify writes nothing for a file whose bytes would not change.
    bool changed() const { return outcome == EngineOutcome::Done && bytes != original; }
};

// Runs the engine of the search type over `original` and joins the lines with the separator
// and the last-byte rule, the NUL tail kept: the single path from a file's bytes to the bytes
// written, shared by Modify, the preview and the dry run.
ModifiedContent modifyContent(ModifyContext& context, std::string original,
                              const results::ModificationInterval& interval, LineSeparator separator);

// The file as Modify reads it: nothing when its marks refuse the write (read-only, hidden or
// system not cleared under the options) or when it can't be read.
std::optional<std::string> readModifiable(platform::FileStore& files, platform::AttributeChanger& attributes,
                                          const std::string& path, bool createBackups,
                                          const ModifyOptions& options, FilePreparation& prep,
                                          platform::FileStamp* stamp = nullptr);

}  // namespace vsr::engine
