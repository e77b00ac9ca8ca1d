#pragma once
#include <string>

#include "platform/trash.h"

namespace vsr::platform {

// The desktop's trash as file managers share it: a file on the home trash's file system goes to
// $XDG_DATA_HOME/Trash, a file elsewhere to its own file system's top folder (".Trash/UID" when
// the administrator made a sticky ".Trash", else ".Trash-UID"). Beside it goes an info entry with
// the original path, percent-escaped as in URLs, and the time of deletion, so any file manager
// restores the file under its own name. Names are handled as bytes. A file is never copied
// between file systems: where no trash can take it by a rename, it stays where it is.
class FreedesktopTrash final : public Trash {
public:
    bool moveToTrash(const std::string& path) override;

    // Where the last file sent went (the trash's "files" entry), for tests and messages.
    const std::string& lastTrashed() const { return lastTrashed_; }

private:
    std::string lastTrashed_;
};

}  // namespace vsr::platform
