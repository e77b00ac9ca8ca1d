#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "fileops/file_names.h"

namespace vsr::fileops {

// The commands of "Rename Files", applied alike to every selected file.
struct RenameCommands {
    std::string prefix;
    std::string suffix;
    bool remove = false;
    int firstPosition = 1;  // 1-based character position in the base
    int number = 1;         // characters to remove
    bool newExtensionOn = false;
    std::string newExtension;  // without the dot
    bool operator==(const RenameCommands&) const = default;
};

inline constexpr const char* kRenameCaption = "Rename Files";
inline constexpr const char* kBadNameCharacters =
    "A file name cannot contain any of the following characters: \\/:*?\"<><>|";
inline constexpr const char* kBadExtensionCharacters =
    "A file extension cannot contain any of the following characters: .\\/:*?\"<><>|";
inline constexpr const char* kNoCommands = "Please specify any commands";

// Checks the commands in the dialog's order and trims the prefix, the suffix and the new
// extension (which also loses one leading ".") in place, so the dialog can show what will be
// used. Returns the message of the first failure, or nothing when the commands can be applied.
std::optional<std::string> validateRenameCommands(RenameCommands& commands);

// The new base and extension of one file under validated commands.
NameParts renamedParts(std::string_view name, const RenameCommands& commands);
// The new name of one file: base + "." + extension, or the base alone when the extension is empty.
std::string newFileName(std::string_view name, const RenameCommands& commands);

}  // namespace vsr::fileops
