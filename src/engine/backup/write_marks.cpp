#include "engine/backup/write_marks.h"

namespace vsr::engine {

bool WriteMarks::writable() const {
    if (!attributes) return false;
    if (cleared) return true;
    return !attributes->readOnly && !attributes->hidden && !attributes->system;
}

WriteMarks checkWriteMarks(std::optional<platform::FileAttributes> found, bool createBackups,
                           MarkedFilesAllowed options) {
    WriteMarks p;
    p.attributes = found;
    if (!createBackups || !p.attributes) return p;
    const platform::FileAttributes& a = *p.attributes;
    const bool marked = a.readOnly || a.hidden;
    const bool allowed = !a.system && (!a.readOnly || options.readOnly) && (!a.hidden || options.hidden);
    p.cleared = marked && allowed;
    return p;
}

WriteMarks checkWriteMarks(const std::string& path, bool createBackups, MarkedFilesAllowed options,
                           platform::AttributeChanger& attributes) {
    return checkWriteMarks(attributes.read(path), createBackups, options);
}

}  // namespace vsr::engine
