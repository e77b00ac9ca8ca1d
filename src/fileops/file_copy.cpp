#include "fileops/file_copy.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/file_system.h"

namespace vsr::fileops {

namespace {

// Closes a descriptor on every path out.
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

CopyResult failure(CopyStatus status, int error = 0) {
    return {status, error ? std::strerror(error) : std::string()};
}

std::string hiddenTempName(const std::string& target) {
    static std::mt19937_64 random{std::random_device{}()};
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix = ".vsr-";
    for (int i = 0; i < 8; ++i) suffix += digits[random() % (sizeof digits - 1)];
    return platform::joinPath(platform::parentPath(target), "." + platform::fileNamePart(target) + suffix);
}

bool copyBytes(int from, int to, const CopyFaults* faults) {
    // The kernel copies without a trip through our memory (and shares blocks where the file
    // system can); where it can't, the loop below goes on from the same offsets.
    if (!faults || faults->failWriteAfter < 0) {
        for (bool any = false;;) {
            const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, std::size_t(1) << 30, 0);
            // Nothing at all may also mean a file whose size the system doesn't know (/proc):
            // reading tells.
            if (n == 0 && !any) break;
            if (n == 0) return true;
            if (n > 0) {
                any = true;
                continue;
            }
            if (errno == EINTR) continue;
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP && errno != EBADF)
                return false;
            break;
        }
    }
    std::vector<char> buffer(1 << 18);
    std::int64_t written = 0;
    for (;;) {
        ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        const char* p = buffer.data();
        std::size_t left = static_cast<std::size_t>(got);
        while (left > 0) {
            std::size_t chunk = left;
            if (faults && faults->failWriteAfter >= 0) {
                if (written >= faults->failWriteAfter) {
                    errno = ENOSPC;
                    return false;
                }
                chunk = std::min<std::size_t>(chunk, static_cast<std::size_t>(faults->failWriteAfter - written));
            }
            ssize_t n = ::write(to, p, chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return false;
            p += n;
            left -= static_cast<std::size_t>(n);
            written += n;
        }
    }
}

// Gives the complete temporary file the target's name. An unnamed file is linked in; a named
// one is renamed. Without `replace` an existing target is never touched.
CopyResult publish(int fd, const std::string& tempName, const std::string& target, bool replace) {
    if (tempName.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        if (!replace) {
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0)
                return {CopyStatus::Copied, {}};
            return failure(errno == EEXIST ? CopyStatus::TargetExists : CopyStatus::Failed, errno);
        }
        // Replacing: link under a hidden name first, then rename over the target in one step.
        for (int attempt = 0; attempt < 8; ++attempt) {
            const std::string temp = hiddenTempName(target);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) != 0) {
                if (errno == EEXIST) continue;
                return failure(CopyStatus::Failed, errno);
            }
            if (::rename(temp.c_str(), target.c_str()) == 0) return {CopyStatus::Copied, {}};
            const int error = errno;
            ::unlink(temp.c_str());
            return failure(CopyStatus::Failed, error);
        }
        return failure(CopyStatus::Failed, EEXIST);
    }
    const int rc = replace ? ::rename(tempName.c_str(), target.c_str())
                           : ::renameat2(AT_FDCWD, tempName.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
    if (rc == 0) return {CopyStatus::Copied, {}};
    const int error = errno;
    ::unlink(tempName.c_str());
    return failure(error == EEXIST ? CopyStatus::TargetExists : CopyStatus::Failed, error);
}

// An unnamed file in the folder, which vanishes by itself if the program dies; else a hidden
// named one. `tempName` is empty for the unnamed kind.
int openTemp(const std::string& folder, const std::string& target, std::string& tempName, const CopyFaults* faults) {
    tempName.clear();
    if (!(faults && faults->noAnonymousFile) && ::access("/proc/self/fd", X_OK) == 0) {
        int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0) return fd;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return -1;
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        tempName = hiddenTempName(target);
        int fd = ::open(tempName.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

CopyResult copyFile(const std::string& source, const std::string& target, bool replace, const CopyFaults* faults) {
    // Opening without blocking, so a FIFO put where a file was can't stall the window.
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (in.fd < 0) return failure(errno == ENOENT ? CopyStatus::SourceMissing : CopyStatus::Failed, errno);
    struct stat src {};
    if (::fstat(in.fd, &src) != 0 || !S_ISREG(src.st_mode)) return failure(CopyStatus::SourceMissing);
    ::fcntl(in.fd, F_SETFL, ::fcntl(in.fd, F_GETFL) & ~O_NONBLOCK);

    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        if (old.st_dev == src.st_dev && old.st_ino == src.st_ino) return failure(CopyStatus::TargetIsSource);
        if (!replace) return failure(CopyStatus::TargetExists);
        // A read-only file (its owner may not write it) is not replaced by a copy either.
        if (S_ISREG(old.st_mode) && !(old.st_mode & S_IWUSR)) return failure(CopyStatus::TargetReadOnly);
    }

    std::string tempName;
    Fd out(openTemp(platform::parentPath(target), target, tempName, faults));
    if (out.fd < 0) return failure(CopyStatus::Failed, errno);
    auto abandon = [&](int error) {
        if (!tempName.empty()) ::unlink(tempName.c_str());
        return failure(CopyStatus::Failed, error);
    };
    if (!copyBytes(in.fd, out.fd, faults)) return abandon(errno);
    if (::fchmod(out.fd, src.st_mode & 0777) != 0) return abandon(errno);
    const struct timespec times[2] = {src.st_atim, src.st_mtim};
    (void)::futimens(out.fd, times);
    // The copy is on disk before it gets its name, so a crash can't leave a cut file there.
    if (::fsync(out.fd) != 0) return abandon(errno);
    return publish(out.fd, tempName, target, replace);
}

}  // namespace vsr::fileops
