#pragma once
#include <ctime>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_place.h"
#include "platform/file_system.h"

struct stat;

namespace vsr::platform {

// Which file a path named when it was read, and in what state: a rewrite is published only
// while the path still names that very file, unchanged, so another program's writes are
// never silently replaced.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    struct timespec modified {};
    struct timespec changed {};

    static FileStamp of(const struct stat& st);
    bool operator==(const FileStamp& o) const;
};

// Opens a regular file for reading without ever blocking (a FIFO put in a file's place can't
// hang the open) and without following it onto a terminal. -1 when it can't be opened or is not
// a regular file; `st` then holds nothing useful.
int openRegularForReading(const std::string& path, struct stat& st);

// The same for the entry `name` of the open folder `folder`; a symbolic link there is not
// followed (it fails).
int openRegularAt(int folder, const std::string& name, struct stat& st);

// The whole file, or nothing when it is missing, not a regular file, can't be read or is (or
// grows while it is read to) more than `maxSize` bytes.
std::optional<std::string> readWholeFile(const std::string& path, FileStamp* stamp = nullptr,
                                         std::uint64_t maxSize = kMaxReadableFileSize);
// The same for the file at `place`, a symbolic link there not followed.
std::optional<std::string> readWholeFileAt(const FilePlace& place, FileStamp* stamp = nullptr,
                                           std::uint64_t maxSize = kMaxReadableFileSize);

}  // namespace vsr::platform
