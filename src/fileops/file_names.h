#pragma once
#include <string>
#include <string_view>

namespace vsr::fileops {

// A file name split at its last ".": the base before it and the extension after it (without
// the dot). A name without "." has an empty extension.
struct NameParts {
    std::string base;
    std::string extension;
};
NameParts splitName(std::string_view name);

// The text without characters of codes up to 32 at either end.
std::string trimBlanks(std::string_view text);

}  // namespace vsr::fileops
