#include "platform/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vsr::platform {

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

mode_t newFileMode() {
    // umask can only be read by setting it; the program touches it nowhere else.
    static const mode_t mask = [] {
        mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return 0666 & ~mask;
}

// A symbolic link is kept: its target is the file that gets the new contents.
std::string resolvedTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf)) return buf;
    }
    return path;
}

}  // namespace

bool writeFileAtomically(const std::string& requested, std::string_view bytes) {
    const std::string path = resolvedTarget(requested);
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);

    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return false;

    std::string temp = (folder == "." ? std::string() : folder) + "." + name + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;

    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (ok) {
        ok = ::fchmod(fd, exists ? (old.st_mode & 07777) : newFileMode()) == 0;
        // Owner and group are kept where allowed; failing that is not a reason to refuse.
        if (ok && exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
            ::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // The new file stays the writer's own.
        }
    }
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself is made durable with the folder.
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

std::optional<std::string> readWholeFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

}  // namespace vsr::platform
