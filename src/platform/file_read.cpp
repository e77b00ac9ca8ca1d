#include "platform/file_read.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vsr::platform {

FileStamp FileStamp::of(const struct stat& st) {
    FileStamp s;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::int64_t>(st.st_size);
    s.modified = st.st_mtim;
    s.changed = st.st_ctim;
    return s;
}

bool FileStamp::operator==(const FileStamp& o) const {
    return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
           modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec &&
           changed.tv_nsec == o.changed.tv_nsec;
}

namespace {

// An opened descriptor kept only when it is a regular file: a FIFO or device is never read.
int keepIfRegular(int fd, struct stat& st) {
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

}  // namespace

int openRegularForReading(const std::string& path, struct stat& st) {
    return keepIfRegular(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK), st);
}

int openRegularAt(int folder, const std::string& name, struct stat& st) {
    return keepIfRegular(::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW), st);
}

namespace {

std::optional<std::string> readOpened(int fd, struct stat& st, FileStamp* stamp, std::uint64_t maxSize) {
    if (static_cast<std::uint64_t>(st.st_size) > maxSize) {
        ::close(fd);
        errno = EFBIG;
        return std::nullopt;
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            // A file that keeps growing while it is read is read no further than the limit.
            if (got > maxSize) {
                ::close(fd);
                errno = EFBIG;
                return std::nullopt;
            }
            bytes.resize(bytes.size() + 65536);
        }
        ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    // The stamp is taken after the read, so a write during it shows as a changed file.
    if (stamp) {
        if (::fstat(fd, &st) != 0) {
            ::close(fd);
            return std::nullopt;
        }
        *stamp = FileStamp::of(st);
        if (stamp->size != static_cast<std::int64_t>(got)) stamp->size = -1;
    }
    ::close(fd);
    return bytes;
}

}  // namespace

std::optional<std::string> readWholeFile(const std::string& path, FileStamp* stamp, std::uint64_t maxSize) {
    struct stat st {};
    int fd = openRegularForReading(path, st);
    if (fd < 0) return std::nullopt;
    return readOpened(fd, st, stamp, maxSize);
}

std::optional<std::string> readWholeFileAt(const FilePlace& place, FileStamp* stamp, std::uint64_t maxSize) {
    if (!place.folder) {
        errno = ENOENT;
        return std::nullopt;
    }
    struct stat st {};
    int fd = openRegularAt(place.folder->fd(), place.name, st);
    if (fd < 0) return std::nullopt;
    return readOpened(fd, st, stamp, maxSize);
}

}  // namespace vsr::platform
