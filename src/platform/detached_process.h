#pragma once
#include <string>
#include <vector>

namespace vsr::platform {

// Starts `program` with `arguments` in `folder` and does not wait for it: the program runs on
// after this one ends, and leaves no zombie behind. Every string goes to the kernel as the bytes
// it is, so names that are not UTF-8 reach the program unchanged. A program without a "/" is
// looked up in PATH. False when the folder or the program could not be entered or started.
bool startDetachedProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& folder);

}  // namespace vsr::platform
