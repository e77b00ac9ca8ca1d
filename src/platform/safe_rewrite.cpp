#include "platform/safe_rewrite.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

#include "platform/atomic_file.h"

namespace vsr::platform {
namespace {

// Counts the bytes written so a forced "disk full" strikes at a chosen point.
struct Writer {
    const RewriteFaults* faults;
    std::int64_t written = 0;

    bool write(int fd, std::string_view bytes) {
        while (!bytes.empty()) {
            std::size_t chunk = bytes.size();
            if (faults && faults->failWriteAfter >= 0) {
                if (written >= faults->failWriteAfter) {
                    errno = ENOSPC;
                    return false;
                }
                chunk = std::min<std::size_t>(chunk, static_cast<std::size_t>(faults->failWriteAfter - written));
            }
            ssize_t n = ::write(fd, bytes.data(), chunk);
            if (n < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            written += n;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
};

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A symbolic link (or a chain of them) is followed to the file it names.
std::string targetOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf)) return buf;
    }
    return path;
}

// Writes through a temporary file beside `path`. Nothing when the temporary file can't be
// made (the caller may then write in place); otherwise whether the rename succeeded.
std::optional<bool> writeViaTemp(const std::string& path, std::string_view bytes, const struct stat* old,
                                 unsigned mode, const RewriteFaults* faults) {
    const std::string folder = folderOf(path);
    std::string temp = (folder == "/" ? "/" : folder + "/") + "." + nameOf(path) + ".vsr-XXXXXX";
    if (faults && faults->noTempFile) return std::nullopt;
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return std::nullopt;

    // No fsync: a run rewrites thousands of files and a disk flush per file would cost more
    // than the rewrite itself. The rename still replaces the file only once every byte was
    // accepted, and the common Linux file systems write a file's data before a rename over
    // another file is committed.
    Writer writer{faults};
    bool ok = writer.write(fd, bytes);
    // Owner first: changing it may clear set-id bits that the mode then puts back.
    if (ok && old && (old->st_uid != ::geteuid() || old->st_gid != ::getegid()))
        (void)::fchown(fd, old->st_uid, old->st_gid);
    if (ok) ok = ::fchmod(fd, static_cast<mode_t>(mode)) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool writeAt(int fd, std::string_view bytes, Writer& writer) {
    return ::lseek(fd, 0, SEEK_SET) == 0 && writer.write(fd, bytes) &&
           ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

// Rewrites the file's own blocks, keeping its inode (and so its other hard links). The old
// bytes are held in memory and written back when the new ones can't be.
RewriteOutcome writeInPlace(const std::string& path, std::string_view bytes, const RewriteFaults* faults) {
    std::optional<std::string> original = readWholeFile(path);
    if (!original) return RewriteOutcome::Unchanged;
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return RewriteOutcome::Unchanged;
    // Claiming the space first turns most full-disk failures into a refusal before any byte
    // of the file is touched.
    if (bytes.size() > original->size()) {
        int rc = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
        if (rc != 0 && rc != EOPNOTSUPP && rc != EINVAL) {
            bool sized = ::ftruncate(fd, static_cast<off_t>(original->size())) == 0;
            ::close(fd);
            return sized ? RewriteOutcome::Unchanged : RewriteOutcome::Damaged;
        }
    }
    Writer writer{faults};
    if (writeAt(fd, bytes, writer)) {
        return ::close(fd) == 0 ? RewriteOutcome::Written : RewriteOutcome::Damaged;
    }
    Writer restorer{nullptr};
    bool restored = !(faults && faults->failRestore) && writeAt(fd, *original, restorer);
    ::close(fd);
    return restored ? RewriteOutcome::Unchanged : RewriteOutcome::Damaged;
}

}  // namespace

RewriteOutcome rewriteFile(const std::string& requested, std::string_view bytes, const RewriteFaults* faults) {
    const std::string path = targetOf(requested);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return RewriteOutcome::Unchanged;
    // Renaming over a file needs only the folder's permission; the file's own is what counts.
    if (::access(path.c_str(), W_OK) != 0) return RewriteOutcome::Unchanged;
    // Renaming a new file over one of several hard links would split it from the others.
    if (st.st_nlink <= 1) {
        std::optional<bool> viaTemp = writeViaTemp(path, bytes, &st, st.st_mode & 07777, faults);
        if (viaTemp) return *viaTemp ? RewriteOutcome::Written : RewriteOutcome::Unchanged;
    }
    return writeInPlace(path, bytes, faults);
}

bool replaceFile(const std::string& path, std::string_view bytes, unsigned mode, const RewriteFaults* faults) {
    std::optional<bool> done = writeViaTemp(path, bytes, nullptr, mode & 07777, faults);
    return done && *done;
}

}  // namespace vsr::platform
