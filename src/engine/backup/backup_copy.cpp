#include "engine/backup/backup_copy.h"

namespace vsr::engine {

bool FilePreparation::writable() const {
    if (!attributes) return false;
    if (cleared) return true;
    return !attributes->readOnly && !attributes->hidden && !attributes->system;
}

FilePreparation prepareFile(std::optional<platform::FileAttributes> found, bool createBackups,
                            MarkedFilesAllowed options) {
    FilePreparation p;
    p.attributes = found;
    if (!createBackups || !p.attributes) return p;
    const platform::FileAttributes& a = *p.attributes;
    const bool marked = a.readOnly || a.hidden;
    const bool allowed = !a.system && (!a.readOnly || options.readOnly) && (!a.hidden || options.hidden);
    p.cleared = marked && allowed;
    return p;
}

FilePreparation prepareFile(const std::string& path, bool createBackups, MarkedFilesAllowed options,
                            platform::AttributeChanger& attributes) {
    return prepareFile(attributes.read(path), createBackups, options);
}

}  // namespace vsr::engine
