#pragma once
#include <optional>
#include <string>

#include "platform/attribute_changer.h"

namespace vsr::engine {

// The read-only and hidden rule of one file's modification: the marks it has and whether they
// were cleared so that it may be written.
struct WriteMarks {
    std::optional<platform::FileAttributes> attributes;  // as found; nothing when the file is missing
    // The read-only and hidden marks were cleared for this step (the options allow it). No mode
    // changes on disk for that: a rewrite through a new file needs no write permission on the
    // old one, and a rewrite in place lifts it only while it writes.
    bool cleared = false;

    // Whether the file may be written: it has none of read-only, hidden and system, or they
    // were cleared for this step.
    bool writable() const;
    // Whether writing needs the owner's missing write permission to be lifted.
    bool readOnlyCleared() const { return cleared && attributes && attributes->readOnly; }
};

// Which marked files a run may rewrite: "Replace Read Only Files", "Replace Hidden Files".
struct MarkedFilesAllowed {
    bool readOnly = false;
    bool hidden = false;
};

// With backups on, clears the read-only and hidden marks the options allow (never a system
// file's); with backups off only the attributes are read.
WriteMarks checkWriteMarks(const std::string& path, bool createBackups, MarkedFilesAllowed options,
                           platform::AttributeChanger& attributes);
// The same for a file whose attributes were already read (`found`; nothing when it is missing).
WriteMarks checkWriteMarks(std::optional<platform::FileAttributes> found, bool createBackups,
                           MarkedFilesAllowed options);

}  // namespace vsr::engine
