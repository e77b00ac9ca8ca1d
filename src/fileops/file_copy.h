#pragma once
#include <cstdint>
#include <string>

namespace vsr::fileops {

enum class CopyStatus {
    Copied,
    SourceMissing,    // the source is gone or is no regular file
    TargetExists,     // a file appeared under the target's name and replacing was not allowed
    TargetReadOnly,   // the existing target refuses writing; it is left alone
    TargetIsSource,   // both names lead to the same file: nothing to do
    Failed,           // reading, writing or naming failed; the target is as it was
};

struct CopyResult {
    CopyStatus status = CopyStatus::Failed;
    std::string error;  // the system's reason, when there is one
};

// Failures a test can force, to see that no path leaves a cut file behind.
struct CopyFaults {
    std::int64_t failWriteAfter = -1;  // writing fails as on a full disk after this many bytes
    bool noAnonymousFile = false;      // the folder can't hold an unnamed file (no O_TMPFILE)
};

// Copies the regular file `source` to `target`. The bytes go to a temporary file in the
// target's folder that is named only once complete, so an interrupted copy never leaves a cut
// file under the target's name. The copy gets the source's permission bits without set-id and
// sticky bits, and its modification time. An existing target is replaced only when `replace`
// is set (a link there is replaced, not followed), never when it is the source itself.
CopyResult copyFile(const std::string& source, const std::string& target, bool replace,
                    const CopyFaults* faults = nullptr);

}  // namespace vsr::fileops
