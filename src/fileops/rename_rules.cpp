#include "fileops/rename_rules.h"

#include "fileops/file_names.h"
#include "fileops/text_width.h"

namespace vsr::fileops {

namespace {

// Characters no portable file name holds. A NUL byte is refused too: it would silently cut
// the name handed to the system.
bool hasBadCharacter(std::string_view text) {
    return text.find_first_of(std::string_view("\\/:*?\"<>|\0", 10)) != std::string_view::npos;
}

}  // namespace

std::optional<std::string> validateRenameCommands(RenameCommands& c) {
    if (hasBadCharacter(c.prefix) || hasBadCharacter(c.suffix)) return std::string(kBadNameCharacters);
    c.prefix = trimBlanks(c.prefix);
    c.suffix = trimBlanks(c.suffix);
    if (c.newExtensionOn) {
        c.newExtension = trimBlanks(c.newExtension);
        if (!c.newExtension.empty() && c.newExtension.front() == '.') c.newExtension.erase(0, 1);
    }
    if (!c.remove && !c.newExtensionOn && c.prefix.empty() && c.suffix.empty()) return std::string(kNoCommands);
    if (c.newExtensionOn && (c.newExtension.find('.') != std::string::npos || hasBadCharacter(c.newExtension)))
        return std::string(kBadExtensionCharacters);
    return std::nullopt;
}

NameParts renamedParts(std::string_view name, const RenameCommands& c) {
    NameParts parts = splitName(name);
    if (c.remove && c.firstPosition >= 1 && c.number >= 1) {
        const std::size_t from = characterOffset(parts.base, static_cast<std::size_t>(c.firstPosition - 1));
        const std::size_t to = characterOffset(parts.base, static_cast<std::size_t>(c.firstPosition - 1) +
                                                               static_cast<std::size_t>(c.number));
        parts.base.erase(from, to - from);
    }
    if (c.newExtensionOn) parts.extension = c.newExtension;
    parts.base = c.prefix + parts.base + c.suffix;
    return parts;
}

std::string newFileName(std::string_view name, const RenameCommands& c) {
    const NameParts parts = renamedParts(name, c);
    return parts.extension.empty() ? parts.base : parts.base + "." + parts.extension;
}

}  // namespace vsr::fileops
