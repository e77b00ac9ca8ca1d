#include "fileops/disk_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vsr::fileops {

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool folderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

RenameResult renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return RenameResult::Renamed;
    if (errno == EEXIST) return RenameResult::TargetExists;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return RenameResult::Failed;
    // File systems without the no-replace flag: a hard link claims the new name atomically.
    if (::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) == 0) return RenameResult::Renamed;
        const int saved = errno;
        ::unlink(to.c_str());
        errno = saved;
        return RenameResult::Failed;
    }
    if (errno == EEXIST) return RenameResult::TargetExists;
    // Without hard links either (FAT), a last look just before the rename is all there is.
    if (fileExists(to) || folderExists(to)) return RenameResult::TargetExists;
    return ::rename(from.c_str(), to.c_str()) == 0 ? RenameResult::Renamed : RenameResult::Failed;
}

std::string lastErrorText() { return std::strerror(errno); }

}  // namespace vsr::fileops
