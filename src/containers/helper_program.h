#pragma once
#include <string>
#include <string_view>

namespace vsr::containers {

// The full name of our helper program `name`, found from the running program's own place, never
// through PATH: "<prefix>/libexec/vantixsr/<name>" beside an installed "<prefix>/bin/<program>",
// and the build folder's "libexec/vantixsr/<name>" for a program or test run from a build.
// Empty when there is none.
std::string helperProgram(std::string_view name);

}  // namespace vsr::containers
