#pragma once
#include <optional>
#include <string>
#include <vector>

#include "engine/backup/backup_copy.h"
#include "engine/modify/modify_context.h"
#include "platform/file_store.h"

namespace vsr::engine {

// One occurrence a modification replaced in place: `length` bytes at `offset` of the original
// (on the 0-based line `line`, `column` bytes into it) became `newLength` bytes, which start in
// the new bytes at `offset` plus the growth of the edits before it.
struct TextEdit {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::size_t newLength = 0;
    std::size_t line = 0;
    std::size_t column = 0;
};

// One file's bytes after the modification, computed in memory: what Modify hands to the writer.
struct ModifiedContent {
    // Done: `bytes` holds the content to write. Stopped: the stop flag ended the engine (the
    // file is not written). Failed: the file can't be modified (it is not written either).
    EngineOutcome outcome = EngineOutcome::Failed;
    std::string original;  // the bytes as read
    std::string bytes;     // the bytes Modify writes; only meaningful when outcome is Done
    // True when `bytes` is `original` with `edits` spliced in, in order, and nothing else
    // changed: every line end stays as it was and the file has no NUL byte.
    bool spliced = false;
    std::vector<TextEdit> edits;

    // Modify writes nothing for a file whose bytes would not change.
    bool changed() const { return outcome == EngineOutcome::Done && bytes != original; }
};

// Runs the engine of the search type over `original` and joins the lines with the separator
// and the last-byte rule, the NUL tail kept: the single path from a file's bytes to the bytes
// written, shared by Modify, the preview and the dry run.
ModifiedContent modifyContent(ModifyContext& context, std::string original,
                              const results::ModificationInterval& interval, LineSeparator separator);
// The same with the bytes as read in `content.original` and the rest of `content` made anew,
// its buffers reused: a thread that modifies many files allocates for the largest only.
void modifyContent(ModifyContext& context, ModifiedContent& content, const results::ModificationInterval& interval,
                   LineSeparator separator);

// The file as Modify reads it: nothing when its marks refuse the write (read-only, hidden or
// system not cleared under the options) or when it can't be read.
std::optional<std::string> readModifiable(platform::FileStore& files, platform::AttributeChanger& attributes,
                                          const std::string& path, bool createBackups,
                                          const ModifyOptions& options, FilePreparation& prep,
                                          platform::FileStamp* stamp = nullptr);

}  // namespace vsr::engine
