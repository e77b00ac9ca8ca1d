#include "platform/cache_files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace vsr::platform {

std::unique_ptr<MappedFile> MappedFile::open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        ::close(fd);
        return nullptr;
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (data == MAP_FAILED) return nullptr;
    return std::unique_ptr<MappedFile>(new MappedFile(data, size, static_cast<std::uint32_t>(st.st_uid)));
}

MappedFile::~MappedFile() { ::munmap(data_, size_); }

std::string userCacheFolder() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && *xdg == '/') return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.cache";
}

std::uint32_t currentUserId() { return static_cast<std::uint32_t>(::getuid()); }

std::optional<std::string> canonicalPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return std::nullopt;
    std::string out(resolved);
    std::free(resolved);
    return out;
}

bool makeFolders(const std::string& dir) {
    if (dir.empty()) return false;
    for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        const std::string part = dir.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat st;
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

bool writeAllAndSync(int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return ::fsync(fd) == 0;
}

enum class UnnamedWrite { Done, Failed, Unavailable };

// The bytes written to a file without a name in `path`'s folder, named only once they are all
// on disk: a process killed while it writes leaves nothing behind. Unavailable (and nothing
// left) where the folder's file system has no unnamed files or no /proc names one.
UnnamedWrite replaceThroughUnnamedFile(const std::string& path, std::string_view bytes) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) return UnnamedWrite::Unavailable;
    if (!writeAllAndSync(fd, bytes)) {
        ::close(fd);
        return UnnamedWrite::Failed;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    std::string temp;
    int linkError = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = path + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) break;
        linkError = errno;
        temp.clear();
        if (linkError != EEXIST) break;
    }
    const bool closed = ::close(fd) == 0;
    if (temp.empty()) return linkError == ENOENT ? UnnamedWrite::Unavailable : UnnamedWrite::Failed;
    if (closed && ::rename(temp.c_str(), path.c_str()) == 0) return UnnamedWrite::Done;
    ::unlink(temp.c_str());
    return UnnamedWrite::Failed;
}

}  // namespace

bool replaceFileWhole(const std::string& path, std::string_view bytes) {
    const UnnamedWrite unnamed = replaceThroughUnnamedFile(path, bytes);
    if (unnamed != UnnamedWrite::Unavailable) return unnamed == UnnamedWrite::Done;
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = writeAllAndSync(fd, bytes);
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace vsr::platform
