#pragma once
#include <map>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace vsr::platform {

// What "set attributes to none" found on a file, so that it can be put back.
struct SavedAttributes {
    FileAttributes attributes;  // the letters before the change
    unsigned mode = 0;          // permission bits before the change
};

// Reading and changing the attributes of one file. On Linux "read-only" is the owner's
// missing write permission; the hidden mark is the leading "." of the name, which
// cannot be cleared on disk, so clearing it is the caller's decision for that step.
class AttributeChanger {
public:
    virtual ~AttributeChanger() = default;
    // Nothing when the file is missing.
    virtual std::optional<FileAttributes> read(const std::string& path) = 0;
    // Gives the owner write permission. Nothing when the file is missing or the
    // permission can't be changed (a file of another user).
    virtual std::optional<SavedAttributes> makeWritable(const std::string& path) = 0;
    // Puts back the permission bits makeWritable found.
    virtual bool restore(const std::string& path, const SavedAttributes& saved) = 0;
};

// chmod on the real file; a link to a file changes the file itself.
class PosixAttributeChanger final : public AttributeChanger {
public:
    std::optional<FileAttributes> read(const std::string& path) override;
    std::optional<SavedAttributes> makeWritable(const std::string& path) override;
    bool restore(const std::string& path, const SavedAttributes& saved) override;
};

// Attributes by full path, for tests; files not added are missing.
class FakeAttributeChanger final : public AttributeChanger {
public:
    std::optional<FileAttributes> read(const std::string& path) override;
    std::optional<SavedAttributes> makeWritable(const std::string& path) override;
    bool restore(const std::string& path, const SavedAttributes& saved) override;

    std::map<std::string, FileAttributes> files;
    bool refuse = false;  // makeWritable fails as on another user's file
};

}  // namespace vsr::platform
