#pragma once
#include <optional>
#include <string>

namespace vsr::fileops {

// The program file a command names: a name with "/" is taken as it is, a bare name is looked
// up in the folders of `searchPath` (":"-separated, as $PATH). Nothing when no executable
// regular file is found.
std::optional<std::string> findProgram(const std::string& program, const std::string& searchPath);

// The folders of $PATH, or the system's default when it is unset.
std::string programSearchPath();

}  // namespace vsr::fileops
