#include "platform/freedesktop_trash.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/fd_io.h"
#include "platform/file_uri.h"

namespace vsr::platform {

namespace {

// Closes the folder or file when it goes out of scope.
class Handle {
public:
    explicit Handle(int fd = -1) : fd_(fd) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

constexpr const char* kInfoSuffix = ".trashinfo";
constexpr std::size_t kNameMax = 255;

std::string homeTrashFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/Trash";
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] ? home : "/") + "/.local/share/Trash";
}

// mkdir -p, each folder it makes private to the user as the trash and the data folder want.
bool makeFolders(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(path.substr(0, slash))) return false;
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// A subfolder of the trash, made when missing; a link in its place is refused.
int openSubfolder(int parent, const char* name) {
    if (::mkdirat(parent, name, 0700) != 0 && errno != EEXIST) return -1;
    return ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

std::string deletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The name the file gets in the trash: its own, then "base.N.ext" while that is taken, cut so
// that its info entry's name still fits the file system (never inside a UTF-8 character).
std::string trashName(const std::string& name, int attempt) {
    std::string base = name;
    std::string extension;
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        base = name.substr(0, dot);
        extension = name.substr(dot);
    }
    const std::string counter = attempt > 1 ? "." + std::to_string(attempt) : "";
    const std::size_t room = kNameMax - std::char_traits<char>::length(kInfoSuffix);
    if (base.size() + counter.size() + extension.size() > room) {
        if (extension.size() > room / 2) extension.clear();
        std::size_t keep = room - counter.size() - extension.size();
        while (keep > 0 && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) --keep;
        base.resize(keep);
    }
    return base + counter + extension;
}

// The mount a path lies on: its device and, where the kernel tells it, the mount itself (a bind
// mount shares the device but no rename crosses it).
struct MountId {
    dev_t device = 0;
    std::uint64_t mount = 0;
    bool operator==(const MountId&) const = default;
};

bool mountOf(const std::string& path, MountId& id) {
#ifdef STATX_MNT_ID
    struct statx sx {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_MNT_ID, &sx) == 0) {
        id.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
        id.mount = (sx.stx_mask & STATX_MNT_ID) ? sx.stx_mnt_id : 0;
        return true;
    }
    return false;
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    id.device = st.st_dev;
    return true;
#endif
}

std::string parentOf(const std::string& folder) {
    const std::size_t slash = folder.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? "/" : folder.substr(0, slash);
}

// The top folder of the mount that holds `folder` (a real, absolute path).
std::string mountTop(std::string folder) {
    MountId own;
    if (!mountOf(folder, own)) return folder;
    while (folder != "/") {
        const std::string parent = parentOf(folder);
        MountId above;
        if (!mountOf(parent, above) || !(above == own)) break;
        folder = parent;
    }
    return folder;
}

// The user's trash in a top folder: ".Trash/UID" in a sticky ".Trash" an administrator made,
// else ".Trash-UID". Links and folders of other users are refused, as the trash rules ask.
int openTopTrash(const std::string& top, std::string& folder) {
    const Handle topFd(::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!topFd.valid()) return -1;
    const uid_t uid = ::getuid();
    const std::string uidText = std::to_string(uid);
    auto ownFolder = [uid](int fd) {
        struct stat st {};
        return fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid;
    };
    struct stat shared {};
    if (::fstatat(topFd.get(), ".Trash", &shared, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX)) {
        const Handle sharedFd(::openat(topFd.get(), ".Trash", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (sharedFd.valid()) {
            const int mine = openSubfolder(sharedFd.get(), uidText.c_str());
            if (ownFolder(mine)) {
                folder = (top == "/" ? "" : top) + "/.Trash/" + uidText;
                return mine;
            }
            if (mine >= 0) ::close(mine);
        }
    }
    const std::string own = ".Trash-" + uidText;
    const int mine = openSubfolder(topFd.get(), own.c_str());
    if (ownFolder(mine)) {
        folder = (top == "/" ? "" : top) + "/" + own;
        return mine;
    }
    if (mine >= 0) ::close(mine);
    return -1;
}

bool writeInfo(int fd, const std::string& escapedPath) {
    const std::string text = "[Trash Info]\nPath=" + escapedPath + "\nDeletionDate=" + deletionDate() + "\n";
    return writeAllTo(fd, text);
}

// Moves `file` into the trash folder `trash` under a free name, its info entry written first so
// that no trashed file is ever without one. False with errno set when the rename failed.
bool intoTrash(int trash, const std::string& trashFolder, const std::string& file, const std::string& name,
               const std::string& infoPath, std::string& landed) {
    const Handle files(openSubfolder(trash, "files"));
    const Handle info(openSubfolder(trash, "info"));
    if (!files.valid() || !info.valid()) return false;
    for (int attempt = 1; attempt < 10000; ++attempt) {
        const std::string entry = trashName(name, attempt);
        const std::string infoName = entry + kInfoSuffix;
        const int fd = ::openat(info.get(), infoName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        const bool written = writeInfo(fd, infoPath);
        if (::close(fd) != 0 || !written) {
            ::unlinkat(info.get(), infoName.c_str(), 0);
            return false;
        }
        int moved = ::renameat2(AT_FDCWD, file.c_str(), files.get(), entry.c_str(), RENAME_NOREPLACE);
        if (moved != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // A file system without the no-replace flag: a last look stands in for it.
            struct stat taken {};
            if (::fstatat(files.get(), entry.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) errno = EEXIST;
            else moved = ::renameat(AT_FDCWD, file.c_str(), files.get(), entry.c_str());
        }
        if (moved == 0) {
            landed = trashFolder + "/files/" + entry;
            return true;
        }
        const int saved = errno;
        ::unlinkat(info.get(), infoName.c_str(), 0);
        errno = saved;
        // A file left in the trash without its entry holds the name: take the next one.
        if (saved == EEXIST || saved == ENOTEMPTY) continue;
        return false;
    }
    errno = EEXIST;
    return false;
}

}  // namespace

bool FreedesktopTrash::moveToTrash(const std::string& path) {
    lastTrashed_.clear();
    struct stat st {};
    // Only files (and links, as themselves) are sent; a folder handed over by mistake stays.
    if (path.empty() || ::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (name.empty() || name == "." || name == "..") return false;
    char* resolved = ::realpath(parent.c_str(), nullptr);
    if (!resolved) return false;
    const std::string folder = resolved;
    std::free(resolved);
    const std::string original = (folder == "/" ? "" : folder) + "/" + name;

    const std::string home = homeTrashFolder();
    struct stat homeSt {};
    if (makeFolders(home) && ::stat(home.c_str(), &homeSt) == 0 && homeSt.st_dev == st.st_dev) {
        const Handle trash(::open(home.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (trash.valid() && intoTrash(trash.get(), home, original, name, percentEscaped(original), lastTrashed_))
            return true;
        // The same device behind another mount (a bind mount) is the only reason to look further.
        if (errno != EXDEV) return false;
    }

    const std::string top = mountTop(folder);
    std::string trashFolder;
    const Handle trash(openTopTrash(top, trashFolder));
    if (!trash.valid()) return false;
    // Relative to the top folder, so the entry stays right wherever the volume is mounted next.
    const std::string relative = top == "/" ? original.substr(1) : original.substr(top.size() + 1);
    return intoTrash(trash.get(), trashFolder, original, name, percentEscaped(relative), lastTrashed_);
}

}  // namespace vsr::platform
