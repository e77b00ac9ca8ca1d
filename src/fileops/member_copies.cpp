#include "fileops/member_copies.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "containers/member_path.h"
#include "engine/decode/container_text.h"
#include "platform/file_system.h"

namespace vsr::fileops {

namespace {

bool ownFolder(const char* path) {
    struct stat st {};
    return path && path[0] == '/' && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += static_cast<std::size_t>(n);
    }
    return true;
}

// The process id in a folder name of ours, or 0 when the rest of the name is not one.
pid_t pidInName(const std::string& name) {
    const std::string prefix = kMemberCopiesPrefix;
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    pid_t pid = 0;
    std::size_t i = prefix.size();
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
        if (pid > 100000000) return 0;
        pid = pid * 10 + (name[i] - '0');
    }
    return i < name.size() && name[i] == '-' ? pid : 0;
}

bool processRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

mode_t currentUmask() {
    const mode_t mask = ::umask(0077);
    ::umask(mask);
    return mask;
}

}  // namespace

bool removeTreeAt(int parentFd, const std::string& name) {
    const int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return ::unlinkat(parentFd, name.c_str(), 0) == 0;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    bool all = true;
    while (const dirent* e = ::readdir(dir)) {
        const std::string entry = e->d_name;
        if (entry == "." || entry == "..") continue;
        struct stat st {};
        if (::fstatat(fd, entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(st.st_mode)) all = removeTreeAt(fd, entry) && all;
        else all = ::unlinkat(fd, entry.c_str(), 0) == 0 && all;
    }
    ::closedir(dir);
    return ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) == 0 && all;
}

std::string MemberCopies::defaultBase() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); ownFolder(runtime)) return runtime;
    if (const char* tmp = std::getenv("TMPDIR"); tmp && tmp[0] == '/') return tmp;
    return "/tmp";
}

MemberCopies::MemberCopies(std::string base) : base_(base.empty() ? defaultBase() : std::move(base)) {}

MemberCopies::~MemberCopies() {
    if (folderFd_ < 0) return;
    ::close(folderFd_);
    const int baseFd = ::open(base_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (baseFd < 0) return;
    removeTreeAt(baseFd, platform::fileNamePart(folder_));
    ::close(baseFd);
}

int MemberCopies::removeLeftovers(const std::string& base) {
    const int baseFd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (baseFd < 0) return 0;
    DIR* dir = ::fdopendir(::dup(baseFd));
    int removed = 0;
    while (dir) {
        const dirent* e = ::readdir(dir);
        if (!e) break;
        const std::string name = e->d_name;
        const pid_t pid = pidInName(name);
        if (pid <= 0 || pid == ::getpid() || processRuns(pid)) continue;
        struct stat st {};
        if (::fstatat(baseFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) continue;
        if (removeTreeAt(baseFd, name)) ++removed;
    }
    if (dir) ::closedir(dir);
    ::close(baseFd);
    return removed;
}

bool MemberCopies::makeFolder(std::string& error) {
    if (folderFd_ >= 0) return true;
    std::string path = platform::joinPath(base_, kMemberCopiesPrefix + std::to_string(::getpid()) + "-XXXXXX");
    if (!::mkdtemp(path.data())) {
        error = "no folder for it in " + base_ + " (" + std::strerror(errno) + ")";
        return false;
    }
    folderFd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd_ < 0) {
        error = std::strerror(errno);
        ::rmdir(path.c_str());
        return false;
    }
    folder_ = path;
    return true;
}

MemberCopies::Written MemberCopies::write(const std::string& archive, const std::string& fullName, Use use,
                                          const std::atomic<bool>& stop) {
    Written out;
    const std::optional<engine::MemberBytes> member = engine::memberBytes(archive, fullName, stop);
    if (stop.load()) {
        out.error = kMemberStoppedText;
        return out;
    }
    if (!member) {
        out.error = "the archive " + archive + " no longer holds it";
        return out;
    }
    if (member->end != containers::ReadEnd::Whole) {
        out.error = member->status.empty() ? std::string("it could not be read whole") : member->status;
        return out;
    }
    if (!makeFolder(out.error)) return out;
    const std::string sub = std::to_string(++next_);
    if (::mkdirat(folderFd_, sub.c_str(), 0700) != 0) {
        out.error = std::strerror(errno);
        return out;
    }
    const std::string name(containers::baseName(fullName));
    const int subFd = ::openat(folderFd_, sub.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int fd = subFd < 0 ? -1
                             : ::openat(subFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool written = fd >= 0 && writeAll(fd, member->bytes);
    if (written) {
        const timespec times[2] = {{member->mtime, 0}, {member->mtime, 0}};
        ::futimens(fd, times);
        const mode_t mode = use == Use::Open ? 0400 : (0666 & ~currentUmask());
        written = ::fchmod(fd, mode) == 0;
    }
    if (!written) out.error = std::strerror(errno);
    if (fd >= 0) ::close(fd);
    if (subFd >= 0) {
        if (!written) ::unlinkat(subFd, name.c_str(), 0);
        ::close(subFd);
    }
    if (!written) {
        ::unlinkat(folderFd_, sub.c_str(), AT_REMOVEDIR);
        return out;
    }
    out.path = platform::joinPath(platform::joinPath(folder_, sub), name);
    return out;
}

void MemberCopies::discard(const std::string& path) {
    if (folderFd_ < 0 || path.compare(0, folder_.size() + 1, folder_ + "/") != 0) return;
    const std::string inside = path.substr(folder_.size() + 1);
    const std::size_t slash = inside.find('/');
    if (slash == std::string::npos) return;
    removeTreeAt(folderFd_, inside.substr(0, slash));
}

}  // namespace vsr::fileops
