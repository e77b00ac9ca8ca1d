#include "platform/file_store.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/atomic_file.h"

namespace vsr::platform {
namespace {

// Gives `path` the modification time of `st`; the access time is set to the same moment.
bool copyTime(const std::string& path, const struct stat& st) {
    struct timespec times[2] = {st.st_mtim, st.st_mtim};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

}  // namespace

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

std::optional<std::string> PosixFileStore::read(const std::string& path) { return readWholeFile(path); }

RewriteOutcome PosixFileStore::rewrite(const std::string& path, std::string_view bytes) {
    return rewriteFile(path, bytes, &faults);
}

bool PosixFileStore::copyFile(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::stat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::optional<std::string> bytes = readWholeFile(from);
    if (!bytes) return false;
    if (!replaceFile(to, *bytes, st.st_mode & 07777, &faults)) return false;
    copyTime(to, st);
    return true;
}

RewriteOutcome PosixFileStore::copyContents(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::stat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return RewriteOutcome::Unchanged;
    std::optional<std::string> bytes = readWholeFile(from);
    if (!bytes) return RewriteOutcome::Unchanged;
    RewriteOutcome outcome = rewriteFile(to, *bytes, &faults);
    if (outcome == RewriteOutcome::Written) copyTime(to, st);
    return outcome;
}

bool PosixFileStore::renameFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixFileStore::removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace vsr::platform
