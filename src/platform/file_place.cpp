#include "platform/file_place.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <system_error>
#include <unistd.h>

#include "platform/fd_io.h"
#include "platform/kernel_file_systems.h"

namespace vsr::platform {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;

std::string errorText(int e) { return std::error_code(e, std::generic_category()).message(); }

// A folder without read permission can still hold files we may rewrite: it is then held as a
// plain reference, which serves every call made relative to it but a flush.
int openFolderAt(int at, const char* name, int extra) {
    int fd = ::openat(at, name, kFolderFlags | extra);
    if (fd < 0 && errno == EACCES) fd = ::openat(at, name, O_PATH | O_DIRECTORY | O_CLOEXEC | extra);
    return fd;
}

// openat2 is missing from kernels before 5.6 and may be refused by a sandbox's filter: then
// ENOSYS or EPERM, and the walk name by name does the same.
bool openat2Missing(int e) { return e == ENOSYS || e == EPERM || e == E2BIG; }

int openat2Beneath(int root, const std::string& relative, std::uint64_t flags) {
    struct open_how how {};
    how.flags = flags | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    return static_cast<int>(::syscall(SYS_openat2, root, relative.c_str(), &how, sizeof how));
}

// The name the kernel gives the open folder now, every link resolved.
std::string realNameOf(int fd) {
    char proc[64];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(proc, buf, sizeof buf);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf || buf[0] != '/') return {};
    return std::string(buf, static_cast<std::size_t>(n));
}

bool beneath(const std::string& path, const std::string& root) {
    if (root == "/") return !path.empty() && path[0] == '/';
    return path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/';
}

std::string reachText(int e) {
    if (e == ELOOP || e == ENOTDIR)
        return "a folder on its way from the searched folder is a symbolic link now, and a modification follows none";
    if (e == EXDEV) return "it does not lie in the searched folder";
    return "its folder can't be opened: " + errorText(e);
}

}  // namespace

OpenFolder::~OpenFolder() {
    if (fd_ >= 0) ::close(fd_);
}

std::string FilePlace::path() const {
    if (!folder) return name;
    const std::string& f = folder->path();
    return f == "/" ? "/" + name : f + "/" + name;
}

OpenFolderRef openFolderByPath(const std::string& path) {
    const int fd = openFolderAt(AT_FDCWD, path.c_str(), 0);
    if (fd < 0) return nullptr;
    return std::make_shared<const OpenFolder>(fd, path);
}

FilePlace placeByPath(const std::string& path) {
    FilePlace place;
    place.folder = openFolderByPath(folderPart(path));
    const auto slash = path.rfind('/');
    place.name = slash == std::string::npos ? path : path.substr(slash + 1);
    return place;
}

int openFolderBeneath(int root, std::string_view relative, bool useOpenat2) {
    std::string rest(relative);
    while (!rest.empty() && rest.back() == '/') rest.pop_back();
    if (rest.empty()) return openFolderAt(root, ".", 0);
    if (rest.front() == '/') {
        errno = EXDEV;
        return -1;
    }
    if (useOpenat2) {
        int fd = openat2Beneath(root, rest, O_RDONLY | O_DIRECTORY | O_NOCTTY);
        if (fd < 0 && errno == EACCES) fd = openat2Beneath(root, rest, O_PATH | O_DIRECTORY);
        if (fd >= 0 || !openat2Missing(errno)) return fd;
    }
    int at = root;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = rest.find('/', start);
        const std::string name = rest.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        int next = -1;
        if (name == "..") {
            errno = EXDEV;
        } else if (!name.empty() && name != ".") {
            next = openFolderAt(at, name.c_str(), O_NOFOLLOW);
            struct stat st {};
            // A link refused as no folder is told as the link it is, as openat2 tells it.
            if (next < 0 && errno == ENOTDIR && ::fstatat(at, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(st.st_mode))
                errno = ELOOP;
        } else {
            next = ::fcntl(at, F_DUPFD_CLOEXEC, 0);
        }
        const int e = errno;
        if (at != root) ::close(at);
        if (next < 0) {
            errno = e;
            return -1;
        }
        at = next;
        if (slash == std::string::npos) return at;
        start = slash + 1;
    }
}

SearchedTree::SearchedTree(const std::string& root) : root_(root) {
    while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
    if (root_.empty()) return;
    rootFd_ = openFolderAt(AT_FDCWD, root_.c_str(), 0);
    if (rootFd_ < 0) {
        rootError_ = errno;
        return;
    }
    realRoot_ = realNameOf(rootFd_);
    rootKernel_ = kernelFileSystemOf(rootFd_);
}

SearchedTree::~SearchedTree() {
    if (rootFd_ >= 0) ::close(rootFd_);
}

OpenFolderRef SearchedTree::folderOf(const std::string& path, std::size_t nameStart, std::string& why) const {
    const std::string folderPath = nameStart <= 1 ? std::string("/") : path.substr(0, nameStart - 1);
    OpenFolderRef folder;
    auto kernelText = [](const char* kernel) {
        return std::string("it lies on the kernel's ") + kernel + " file system, whose files are never modified";
    };
    if (rootKernel_) {
        why = kernelText(rootKernel_);
    } else if (root_.empty()) {
        folder = openFolderByPath(folderPath);
        if (!folder) why = reachText(errno);
    } else if (rootFd_ < 0) {
        why = "the searched folder can't be opened: " + errorText(rootError_);
    } else if (folderPath == root_) {
        folder = std::make_shared<const OpenFolder>(::fcntl(rootFd_, F_DUPFD_CLOEXEC, 0), folderPath);
        if (folder->fd() < 0) {
            why = reachText(errno);
            folder.reset();
        }
    } else if (!beneath(folderPath, root_)) {
        why = reachText(EXDEV);
    } else {
        const std::size_t skip = root_ == "/" ? 1 : root_.size() + 1;
        const int fd = openFolderBeneath(rootFd_, std::string_view(folderPath).substr(skip), !nameByName_);
        if (fd < 0)
            why = reachText(errno);
        else
            folder = std::make_shared<const OpenFolder>(fd, folderPath);
    }
    if (folder) {
        if (const char* kernel = kernelFileSystemOf(folder->fd())) {
            why = kernelText(kernel);
            folder.reset();
        }
    }
    return folder;
}

std::optional<FilePlace> SearchedTree::placeBeside(const std::string& path, const std::string& name,
                                                   std::string& why) const {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        why = reachText(EXDEV);
        return std::nullopt;
    }
    OpenFolderRef folder = folderOf(path, slash + 1, why);
    if (!folder) return std::nullopt;
    return FilePlace{std::move(folder), name};
}

std::optional<FilePlace> SearchedTree::place(const std::string& path, std::string& why) const {
    const std::size_t slash = path.rfind('/');
    std::optional<FilePlace> at = placeBeside(path, slash == std::string::npos ? path : path.substr(slash + 1), why);
    if (!at) return std::nullopt;
    struct stat st {};
    if (::fstatat(at->folder->fd(), at->name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        why = "it can't be reached: " + errorText(errno);
        return std::nullopt;
    }
    if (!S_ISLNK(st.st_mode)) return at;

    // A link listed as a file leads to its target, which is rewritten only where the search
    // could have listed it as well: beneath the searched folder (its own folder with no root).
    char proc[PATH_MAX + 64];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d/%s", at->folder->fd(), at->name.c_str());
    char buf[PATH_MAX];
    if (!::realpath(proc, buf)) {
        why = "it is a symbolic link whose target can't be reached: " + errorText(errno);
        return std::nullopt;
    }
    const std::string target = buf;
    int rootFd = rootFd_;
    std::string realRoot = realRoot_;
    if (root_.empty()) {
        rootFd = at->folder->fd();
        realRoot = realNameOf(rootFd);
    }
    if (realRoot.empty() || !beneath(target, realRoot)) {
        why = "it is a symbolic link to " + target + ", which lies outside the searched folder";
        return std::nullopt;
    }
    const std::size_t targetSlash = target.rfind('/');
    const std::size_t skip = realRoot == "/" ? 1 : realRoot.size() + 1;
    const std::string relative = targetSlash > skip ? target.substr(skip, targetSlash - skip) : std::string();
    const int fd = openFolderBeneath(rootFd, relative, !nameByName_);
    if (fd < 0) {
        why = "it is a symbolic link to " + target + ", which can't be reached: " + reachText(errno);
        return std::nullopt;
    }
    FilePlace place{std::make_shared<const OpenFolder>(fd, folderPart(target)), target.substr(targetSlash + 1)};
    if (const char* kernel = kernelFileSystemOf(fd)) {
        why = std::string("it is a symbolic link to a file on the kernel's ") + kernel +
              " file system, whose files are never modified";
        return std::nullopt;
    }
    if (::fstatat(fd, place.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISLNK(st.st_mode)) {
        why = "it is a symbolic link to " + target + ", which changed while it was looked up";
        return std::nullopt;
    }
    return place;
}

}  // namespace vsr::platform
