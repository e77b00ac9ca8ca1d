#pragma once
#include <cerrno>
#include <string>
#include <string_view>
#include <unistd.h>

namespace vsr::platform {

// Writes every byte, retrying short writes; false on the first error (errno tells which).
inline bool writeAllTo(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Makes a folder's entries durable (a rename or a new name in it).
void flushFolder(const std::string& folder);

// The folder part of a path ("." for a bare name, "/" for the root).
std::string folderPart(const std::string& path);

// Overwrites the open file from its start with `bytes`, cuts it to their length and flushes it.
bool overwriteFromStart(int fd, std::string_view bytes);

}  // namespace vsr::platform
