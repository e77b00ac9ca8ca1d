#pragma once
#include <string>
#include <vector>

namespace vsr::platform {

// The user's trash: files sent there can be restored with the desktop's tools.
class Trash {
public:
    virtual ~Trash() = default;
    // Moves one file to the trash without asking; true only when the file left its place.
    virtual bool moveToTrash(const std::string& path) = 0;
};

// Records what was sent and answers as told; a successful send removes the
// file, so callers see the same file system as after a real one.
class FakeTrash : public Trash {
public:
    bool moveToTrash(const std::string& path) override;

    std::vector<std::string> sent;  // every path asked for, in order
    std::vector<std::string> refuse;  // paths that fail as a locked file would
};

}  // namespace vsr::platform
