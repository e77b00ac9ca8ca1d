#pragma once
#include <string>

namespace vsr::fileops {

// Whether something other than a folder stands at `path` (a link counts as itself, so a
// link whose target is gone still exists).
bool fileExists(const std::string& path);
// Whether the folder exists.
bool folderExists(const std::string& path);
// Whether the two names lead to the same file on disk (links and "." in paths followed).
bool sameFile(const std::string& a, const std::string& b);

enum class RenameResult { Renamed, TargetExists, Failed };

// Renames `from` to `to` in the same folder, never replacing a file that exists under the
// new name, also one that appeared after the caller looked.
RenameResult renameWithoutReplacing(const std::string& from, const std::string& to);

// The system's text for the last error (errno).
std::string lastErrorText();

}  // namespace vsr::fileops
