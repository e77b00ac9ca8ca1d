#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vsr::platform {

// How a rewrite ended. Only Damaged means the file may no longer hold its old bytes.
enum class RewriteOutcome {
    Written,    // the file holds the new bytes
    Unchanged,  // the rewrite failed and the file is exactly as it was
    Damaged,    // the rewrite failed and so did putting the old bytes back
};

// Failures a test can force on the writer, to see that no path loses the file.
struct RewriteFaults {
    std::int64_t failWriteAfter = -1;  // writes fail as on a full disk once this many bytes went out
    bool noTempFile = false;           // the folder refuses new files, as a read-only folder would
    bool failRestore = false;          // writing the old bytes back fails as well
};

// Replaces the contents of an existing regular file without ever leaving it cut short.
// The new bytes go to a temporary file in the same folder, which is renamed over the file
// once all of them were written, with its permission bits (and owner and group where allowed). A file with several hard
// links, or one in a folder that refuses new files, is rewritten in place instead, and on a
// failure the old bytes are written back. A symbolic link stays a link: its target is
// rewritten. A missing file is not created.
RewriteOutcome rewriteFile(const std::string& path, std::string_view bytes,
                           const RewriteFaults* faults = nullptr);

// Writes `bytes` as the file `path` (created or replaced; a link at `path` is replaced, not
// followed) through a temporary file, with the permission bits `mode`. False on any failure;
// an existing file at `path` is then untouched.
bool replaceFile(const std::string& path, std::string_view bytes, unsigned mode,
                 const RewriteFaults* faults = nullptr);

}  // namespace vsr::platform
