#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/safe_rewrite.h"

namespace vsr::platform {

// How a path reaches its file: through a symbolic link, and how many names the file has.
struct FileLinks {
    bool symbolicLink = false;
    unsigned long hardLinks = 1;
    // The file itself (after following a link); both 0 when it is missing.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// The file operations of modification, backups and undo, behind one interface so tests can
// make any of them fail (a full disk, a vanished file, a refused rename).
class FileStore {
public:
    virtual ~FileStore() = default;
    // Whether `path` names an existing regular file (a link is followed).
    virtual bool exists(const std::string& path) = 0;
    virtual FileLinks links(const std::string& path) = 0;
    // The whole file, NUL bytes included; nothing when it can't be read.
    virtual std::optional<std::string> read(const std::string& path) = 0;
    // The safe rewrite of an existing file (see rewriteFile).
    virtual RewriteOutcome rewrite(const std::string& path, std::string_view bytes) = 0;
    // Copies `from` to `to`, replacing `to`, with the permission bits and the modification
    // time of `from`. False on failure; an existing `to` is then untouched.
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;
    // Rewrites the existing file `to` (through links, keeping hard links) with the bytes and
    // the modification time of `from`.
    virtual RewriteOutcome copyContents(const std::string& from, const std::string& to) = 0;
    virtual bool renameFile(const std::string& from, const std::string& to) = 0;
    virtual bool removeFile(const std::string& path) = 0;
};

// The real disk. `faults` reach the writer, for tests of full disks and refusing folders.
class PosixFileStore : public FileStore {
public:
    bool exists(const std::string& path) override;
    FileLinks links(const std::string& path) override;
    std::optional<std::string> read(const std::string& path) override;
    RewriteOutcome rewrite(const std::string& path, std::string_view bytes) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    RewriteOutcome copyContents(const std::string& from, const std::string& to) override;
    bool renameFile(const std::string& from, const std::string& to) override;
    bool removeFile(const std::string& path) override;

    RewriteFaults faults;
};

}  // namespace vsr::platform
