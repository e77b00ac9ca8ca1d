#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace vsr::platform {

// Replaces a file's contents all at once: the bytes go to a temporary file in the
// same folder, are flushed to disk and then renamed over the file, so a crash or a
// full disk leaves either the old contents or the new ones, never a cut file.
// A new file gets the usual permissions, an existing one keeps its own.
// False when anything failed; the file is then exactly as it was.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

// The whole file, or nothing when it is missing or can't be read.
std::optional<std::string> readWholeFile(const std::string& path);

}  // namespace vsr::platform
