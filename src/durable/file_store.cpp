#include "durable/file_store.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/fd_io.h"
#include "durable/recovery_journal.h"

namespace vsr::durable {
namespace {

// The absolute path with every link on the way resolved; the path as it is when that fails.
std::string canonicalPath(const std::string& path) {
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : path;
}

// Copies the backup's bytes into the file itself, for a file that must keep its inode. A note
// made first lets the next start finish the copy should it be cut short.
bool restoreInPlace(const std::string& path, const std::string& backup) {
    const std::string target = canonicalPath(path);
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::optional<std::string> bytes = platform::readWholeFile(backup);
    if (!bytes) return false;
    const mode_t mode = st.st_mode & 07777;
    // The file's bytes now, so the next start can tell a cut-short copy from a later edit.
    std::optional<std::string> current = platform::readWholeFile(target);
    if (!current) return false;
    RecoveryRecord record;
    if (!record.beginWithSource(target, backup, true, *current, *bytes, mode)) return false;
    constexpr int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = ::open(target.c_str(), flags);
    bool madeWritable = false;
    if (fd < 0 && errno == EACCES && ::chmod(target.c_str(), mode | S_IWUSR) == 0) {
        madeWritable = true;
        fd = ::open(target.c_str(), flags);
    }
    if (fd < 0) {
        if (madeWritable) ::chmod(target.c_str(), mode);
        record.finish();
        return false;
    }
    const bool ok = platform::overwriteFromStart(fd, *bytes);
    ::fchmod(fd, mode);
    ::close(fd);
    // A failed copy leaves the note: the next start completes it from the backup.
    if (!ok) return false;
    ::unlink(backup.c_str());
    record.finish();
    return true;
}

// restoreInPlace for a file and backup reached without following links.
bool restoreInPlaceAt(const platform::FilePlace& target, const platform::FilePlace& backup) {
    const int dir = target.folder->fd();
    const int held = ::openat(dir, target.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (held < 0) return false;
    struct stat st {};
    std::optional<std::string> bytes, current;
    if (::fstat(held, &st) == 0 && S_ISREG(st.st_mode)) {
        bytes = platform::readWholeFileAt(backup);
        if (bytes) current = platform::readWholeFileAt(target);
    }
    RecoveryRecord record;
    const mode_t mode = st.st_mode & 07777;
    if (!current || !record.beginWithSource(target.path(), backup.path(), true, *current, *bytes, mode)) {
        ::close(held);
        return false;
    }
    // Opened through the reference held, so no link put in its place meanwhile is followed.
    char proc[64];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", held);
    constexpr int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = ::open(proc, flags);
    bool madeWritable = false;
    if (fd < 0 && errno == EACCES && ::chmod(proc, mode | S_IWUSR) == 0) {
        madeWritable = true;
        fd = ::open(proc, flags);
    }
    if (fd < 0) {
        if (madeWritable) ::chmod(proc, mode);
        ::close(held);
        record.finish();
        return false;
    }
    const bool ok = platform::overwriteFromStart(fd, *bytes);
    ::fchmod(fd, mode);
    ::close(fd);
    ::close(held);
    // A failed copy leaves the note: the next start completes it from the backup.
    if (!ok) return false;
    ::unlinkat(backup.folder->fd(), backup.name.c_str(), 0);
    record.finish();
    return true;
}

}  // namespace

bool PosixFileStore::restoreBackupAt(const platform::FilePlace& name, const platform::FilePlace& file, const platform::FilePlace& backup) {
    struct stat link {}, target {}, bak {};
    if (::fstatat(name.folder->fd(), name.name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (::fstatat(file.folder->fd(), file.name.c_str(), &target, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(target.st_mode))
        return false;
    if (::fstatat(backup.folder->fd(), backup.name.c_str(), &bak, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(bak.st_mode))
        return false;
    // As restoreBackup: the backup takes the name in one rename where it can stand for the file.
    const bool sameOwners = bak.st_uid == target.st_uid && bak.st_gid == target.st_gid;
    if (S_ISLNK(link.st_mode) || target.st_nlink > 1 || !sameOwners || bak.st_dev != target.st_dev)
        return restoreInPlaceAt(file, backup);
    if (::renameat(backup.folder->fd(), backup.name.c_str(), file.folder->fd(), file.name.c_str()) != 0) return false;
    ::fsync(file.folder->fd());
    return true;
}

bool PosixFileStore::exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

FileLinks PosixFileStore::links(const std::string& path) {
    FileLinks out;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return out;
    out.symbolicLink = S_ISLNK(st.st_mode);
    if (out.symbolicLink && ::stat(path.c_str(), &st) != 0) return out;
    out.hardLinks = static_cast<unsigned long>(st.st_nlink);
    out.device = static_cast<std::uint64_t>(st.st_dev);
    out.inode = static_cast<std::uint64_t>(st.st_ino);
    return out;
}

std::optional<std::string> PosixFileStore::read(const std::string& path, platform::FileStamp* stamp) {
    return platform::readWholeFile(path, stamp);
}

RewriteBatch::Staged PosixFileStore::stageRewrite(const RewriteRequest& request, std::size_t tag) {
    return batch_.stage(request, tag);
}

bool PosixFileStore::restoreBackup(const std::string& path, const std::string& backup) {
    struct stat link {}, file {}, bak {};
    if (::lstat(path.c_str(), &link) != 0 || ::stat(path.c_str(), &file) != 0 || !S_ISREG(file.st_mode)) return false;
    if (::lstat(backup.c_str(), &bak) != 0 || !S_ISREG(bak.st_mode)) return false;
    // The backup carries the owner, group and mode of the file as it was; where it could not
    // (a backup made by someone other than the owner) the file keeps its own by a copy in place.
    const bool sameOwners = bak.st_uid == file.st_uid && bak.st_gid == file.st_gid;
    if (S_ISLNK(link.st_mode) || file.st_nlink > 1 || !sameOwners || bak.st_dev != file.st_dev)
        return restoreInPlace(path, backup);
    if (::rename(backup.c_str(), path.c_str()) != 0) return false;
    platform::flushFolder(platform::folderPart(path));
    return true;
}

bool PosixFileStore::removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace vsr::durable
