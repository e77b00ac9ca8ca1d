#pragma once
#include <filesystem>
#include <string>

namespace vsr::test {

// A chain of `depth` folders named `name` below `top`, made through handles, so their full names
// may grow past what the system takes whole. Every tenth folder and the bottom one get a file
// "at<depth>.txt" holding `text`. False when a step failed.
bool makeLongChain(const std::filesystem::path& top, int depth, const std::string& name, const std::string& text);

// Removes everything below `top` by names relative to opened folders, so no full name is ever
// made (std::filesystem's removal gives up past that length); `top` itself stays.
void removeInsideDeep(const std::filesystem::path& top);

// Empties a deep tree's top folder when it goes out of scope (before the TempDir that holds it).
struct DeepTreeCleanup {
    std::filesystem::path top;
    ~DeepTreeCleanup() { removeInsideDeep(top); }
};

}  // namespace vsr::test
