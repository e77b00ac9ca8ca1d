#include "platform/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string_view>

namespace vsr::platform {
namespace {

FileTime toFileTime(const struct timespec& ts) {
    using namespace std::chrono;
    return FileTime(duration_cast<system_clock::duration>(seconds(ts.tv_sec) + nanoseconds(ts.tv_nsec)));
}

void fillInfo(const struct stat& st, std::string_view name, FileInfo& out) {
    out.kind = S_ISREG(st.st_mode) ? EntryKind::File : S_ISDIR(st.st_mode) ? EntryKind::Directory : EntryKind::Other;
    out.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    out.lastWrite = toFileTime(st.st_mtim);
    out.statusChange = toFileTime(st.st_ctim);
    out.attributes = {};
    out.attributes.readOnly = (st.st_mode & S_IWUSR) == 0;
    out.attributes.hidden = !name.empty() && name[0] == '.';
    out.device = static_cast<std::uint64_t>(st.st_dev);
    out.inode = static_cast<std::uint64_t>(st.st_ino);
}

std::string_view baseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
}

// The kind of a listed entry: regular files and folders straight from d_type; links are
// resolved so a link to a file is searched as that file, while a link to a folder is never
// walked (a link loop can't hang the walk).
EntryKind kindOf(int dirFd, unsigned char type, const char* name, bool& viaLink) {
    viaLink = false;
    switch (type) {
        case DT_REG: return EntryKind::File;
        case DT_DIR: return EntryKind::Directory;
        case DT_LNK: {
            viaLink = true;
            struct stat st;
            if (fstatat(dirFd, name, &st, 0) != 0) return EntryKind::Other;
            return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
        }
        case DT_UNKNOWN: {
            struct stat st;
            if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return EntryKind::Other;
            if (S_ISREG(st.st_mode)) return EntryKind::File;
            if (S_ISDIR(st.st_mode)) return EntryKind::Directory;
            viaLink = S_ISLNK(st.st_mode);
            if (viaLink && fstatat(dirFd, name, &st, 0) == 0 && S_ISREG(st.st_mode)) return EntryKind::File;
            return EntryKind::Other;
        }
        default: return EntryKind::Other;
    }
}

struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
};

// The opened file's size and kind, asked once: false when it is no regular file. `entry`, when
// given, gets its information from it, so the row of a listed file shows what this fstat saw.
bool lookAtOpened(int fd, DirEntry* entry, std::uint64_t& size) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (entry) {
        fillInfo(st, entry->name, entry->info);
        entry->infoLoaded = true;
    }
    size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    return true;
}

// Whether the folder lies on a file system that keeps its files on a local disk or in memory.
// There a read of a regular file returns fewer bytes than asked for only at the file's end;
// network and user-space file systems (and /proc) may return less at any point.
bool onLocalDisk(int fd) {
    struct statfs fs;
    if (::fstatfs(fd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case 0xEF53UL:      // ext2, ext3, ext4
        case 0x58465342UL:  // xfs
        case 0x9123683EUL:  // btrfs
        case 0xF2F52010UL:  // f2fs
        case 0x01021994UL:  // tmpfs
            return true;
        default: return false;
    }
}

// A folder whose full name is at least this long may hold names the system refuses whole
// (PATH_MAX bytes and more): what lies in it is reached through its handle.
constexpr std::size_t kLongFolderName = PATH_MAX - NAME_MAX - 2;

// The folder part of the absolute name `path` (up to `slash`, its last "/"), which may be longer
// than the system takes in one call: opened a stretch of whole names at a time, each stretch
// shorter than PATH_MAX, each relative to the one before. -1 (errno set) when that fails.
int openLongFolder(const std::string& path, std::size_t slash) {
    if (path.empty() || path[0] != '/' || slash == std::string::npos) {
        errno = ENAMETOOLONG;
        return -1;
    }
    int dir = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    std::size_t at = 1;
    while (dir >= 0 && at < slash) {
        std::size_t end = path.find('/', at);
        if (end == at) {  // an empty name ("//") names the same folder
            at = end + 1;
            continue;
        }
        if (end - at >= PATH_MAX) {
            ::close(dir);
            errno = ENAMETOOLONG;
            return -1;
        }
        while (end < slash) {
            const std::size_t next = path.find('/', end + 1);
            if (next - at >= PATH_MAX) break;
            end = next;
        }
        const std::string stretch = path.substr(at, end - at);
        const int sub = ::openat(dir, stretch.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        ::close(dir);
        dir = sub;
        at = end + 1;
    }
    return dir;
}

// open() for a name of any length: one the system refuses whole is opened through its folder.
int openAnyLength(const std::string& path, int flags) {
    if (path.size() < PATH_MAX) return ::open(path.c_str(), flags);
    const std::size_t slash = path.rfind('/');
    const int dir = openLongFolder(path, slash);
    if (dir < 0) return -1;
    const int fd = ::openat(dir, path.c_str() + slash + 1, flags);
    const int error = errno;
    ::close(dir);
    errno = error;
    return fd;
}

// stat() for a name of any length, as openAnyLength.
int statAnyLength(const std::string& path, struct stat& st) {
    if (path.size() < PATH_MAX) return ::stat(path.c_str(), &st);
    const std::size_t slash = path.rfind('/');
    const int dir = openLongFolder(path, slash);
    if (dir < 0) return -1;
    const int rc = ::fstatat(dir, path.c_str() + slash + 1, &st, 0);
    ::close(dir);
    return rc;
}

// O_NONBLOCK keeps a FIFO that slipped past the walk from blocking the open.
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
constexpr int kListFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;

}  // namespace

PosixFileSystem::PosixFileSystem() {
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        limit.rlim_cur / 4 < static_cast<rlim_t>(kMaxHeldFolders))
        maxHeld_ = static_cast<int>(limit.rlim_cur / 4);
}

PosixFileSystem::~PosixFileSystem() { closeCachedFolder(); }

PosixFileSystem::Folder::~Folder() {
    if (fd < 0) return;
    ::close(fd);
    --held_;
}

int PosixFileSystem::Folder::openAt(const char* name, int flags) const {
    if (fd >= 0) return ::openat(fd, name, flags);
    const std::string relative = path.substr(relativeAt) + "/" + name;
    return ::openat(base->fd, relative.c_str(), flags);
}

int PosixFileSystem::Folder::statAt(const char* name, struct stat& st) const {
    if (fd >= 0) return ::fstatat(fd, name, &st, 0);
    const std::string relative = path.substr(relativeAt) + "/" + name;
    return ::fstatat(base->fd, relative.c_str(), &st, 0);
}

void PosixFileSystem::closeCachedFolder() {
    std::lock_guard lock(mutex_);
    for (auto& f : folders_) f.reset();
}

void PosixFileSystem::keepFolder(const std::shared_ptr<const Folder>& folder) {
    std::lock_guard lock(mutex_);
    folders_[nextFolder_] = folder;
    nextFolder_ = (nextFolder_ + 1) % folders_.size();
}

std::shared_ptr<const PosixFileSystem::Folder> PosixFileSystem::folderOf(const std::string& path, std::size_t& slash) {
    slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 >= path.size()) return nullptr;
    const std::string_view dir(path.data(), slash == 0 ? 1 : slash);
    std::lock_guard lock(mutex_);
    for (const auto& f : folders_)
        if (f && f->path == dir) return f;
    return nullptr;
}

int PosixFileSystem::openForRead(const std::string& path) {
    std::size_t slash = 0;
    if (auto folder = folderOf(path, slash)) return folder->openAt(path.c_str() + slash + 1, kReadFlags);
    return openAnyLength(path, kReadFlags);
}

bool PosixFileSystem::listDirectory(const std::string& dir, std::vector<DirEntry>& out) {
    FolderRef unused;
    return listFolder(dir, out, unused);
}

bool PosixFileSystem::listFolder(const std::string& dir, std::vector<DirEntry>& out, FolderRef& handle) {
    out.clear();
    handle.reset();
    const std::string path = dir.empty() ? "/" : dir;
    const int fd = openAnyLength(path, kListFolderFlags);
    if (fd < 0) return false;
    return listOpened(fd, path, out, handle);
}

bool PosixFileSystem::listSubfolder(const FileRef& folder, std::vector<DirEntry>& out, FolderRef& handle) {
    out.clear();
    handle.reset();
    // A folder nested deeper than the system takes a full name for is walked all the same,
    // through its parent's handle: the names of its files stay as long as they are.
    const auto* parent = dynamic_cast<const Folder*>(folder.folder);
    const bool byName = parent && folder.nameStart > 0 && folder.nameStart < folder.path.size();
    const int fd = byName ? parent->openAt(folder.path.c_str() + folder.nameStart, kListFolderFlags | O_NOFOLLOW)
                          : openAnyLength(folder.path, kListFolderFlags | O_NOFOLLOW);
    if (fd < 0) return false;
    return listOpened(fd, folder.path, out, handle, byName ? parent : nullptr);
}

bool PosixFileSystem::listOpened(int fd, const std::string& path, std::vector<DirEntry>& out, FolderRef& handle,
                                 const Folder* parent) {
    // The entries straight from the kernel, so the folder's descriptor stays ours to keep.
    alignas(struct dirent64) char buf[32768];
    for (;;) {
        const ssize_t n = ::getdents64(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the end, or a folder that failed midway: what was listed stands
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const struct dirent64*>(buf + at);
            at += e->d_reclen;
            const char* name = e->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
            DirEntry& entry = out.emplace_back();
            entry.name = name;
            entry.kind = kindOf(fd, e->d_type, name, entry.viaLink);
        }
    }
    // The walk reads this folder's files and lists its subfolders next: the handle lets each be
    // opened by its name alone. Only a listing makes one, and a run lets go of them, so none
    // outlives its run.
    if (held_.load(std::memory_order_relaxed) >= maxHeld_) {
        if (path.size() < kLongFolderName) {
            ::close(fd);
            return true;
        }
        // A folder with a long name still gets a handle, since the names in it may be too long
        // to open whole: it names itself relative to the nearest folder above that holds a
        // descriptor, while that name stays short enough, so a deep tree holds a descriptor
        // every few thousand bytes of its names rather than one per folder.
        std::shared_ptr<const Folder> anchor;
        std::size_t at = 0;
        if (parent && parent->fd >= 0) {
            anchor = parent->shared_from_this();
            at = parent->path == "/" ? 1 : parent->path.size() + 1;
        } else if (parent) {
            anchor = parent->base;
            at = parent->relativeAt;
        }
        if (anchor && path.size() > at && path.size() - at < kLongFolderName) {
            const bool local = onLocalDisk(fd);
            ::close(fd);
            auto folder = std::make_shared<const Folder>(path, std::move(anchor), at, held_, local);
            keepFolder(folder);
            handle = folder;
            return true;
        }
    }
    auto folder = std::make_shared<const Folder>(path, fd, held_, onLocalDisk(fd));
    keepFolder(folder);
    handle = folder;
    return true;
}

bool PosixFileSystem::stat(const std::string& path, FileInfo& out) {
    struct stat st;
    std::size_t slash = 0;
    const auto folder = folderOf(path, slash);
    int rc = folder ? folder->statAt(path.c_str() + slash + 1, st) : statAnyLength(path, st);
    if (rc != 0) return false;
    fillInfo(st, baseName(path), out);
    return true;
}

bool PosixFileSystem::statAt(const FileRef& file, FileInfo& out) {
    const auto* folder = dynamic_cast<const Folder*>(file.folder);
    if (!folder || file.nameStart == 0 || file.nameStart >= file.path.size()) return stat(file.path, out);
    struct stat st;
    const char* name = file.path.c_str() + file.nameStart;
    if (folder->statAt(name, st) != 0) return false;
    fillInfo(st, name, out);
    return true;
}

bool PosixFileSystem::statByName(const std::string& path, bool followLink, FileInfo& out) {
    if (path.size() >= PATH_MAX) return false;
    struct stat st;
    if (::fstatat(AT_FDCWD, path.c_str(), &st, followLink ? 0 : AT_SYMLINK_NOFOLLOW) != 0) return false;
    fillInfo(st, baseName(path), out);
    return true;
}

namespace {

// A folder opened with O_PATH: each look-up resolves one name, not the whole path.
class PathFolderLookup final : public FolderLookup {
public:
    explicit PathFolderLookup(int fd) : fd_(fd) {}
    ~PathFolderLookup() override { ::close(fd_); }
    PathFolderLookup(const PathFolderLookup&) = delete;
    PathFolderLookup& operator=(const PathFolderLookup&) = delete;
    bool statEntry(const std::string& name, FileInfo& out) override {
        struct stat st;
        if (::fstatat(fd_, name.c_str(), &st, 0) != 0) return false;
        fillInfo(st, name, out);
        return true;
    }

private:
    int fd_;
};

}  // namespace

std::unique_ptr<FolderLookup> PosixFileSystem::openLookup(const std::string& path, bool followLink, FileInfo& info) {
    if (path.size() >= PATH_MAX) return nullptr;
    const int fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0) return nullptr;
    auto lookup = std::make_unique<PathFolderLookup>(fd);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
    fillInfo(st, baseName(path), info);
    return lookup;
}

ReadStatus PosixFileSystem::readFile(const std::string& path, FileBuffer& buffer, std::uint64_t maxSize) {
    buffer.setSize(0);
    int fd = openForRead(path);
    if (fd < 0) return ReadStatus::Failed;
    ReadRequest request;
    request.maxSize = maxSize;
    return readOpened(fd, buffer, request);
}

int PosixFileSystem::openListed(const FileRef& file) {
    const auto* folder = dynamic_cast<const Folder*>(file.folder);
    const bool byName = folder && file.nameStart > 0 && file.nameStart < file.path.size();
    return byName ? folder->openAt(file.path.c_str() + file.nameStart, kReadFlags) : openForRead(file.path);
}

ReadStatus PosixFileSystem::readListed(const FileRef& file, FileBuffer& buffer, const ReadRequest& request) {
    buffer.setSize(0);
    const int fd = openListed(file);
    if (fd < 0) return ReadStatus::Failed;
    return readOpened(fd, buffer, request, shortReadIsEnd(file, request));
}

bool PosixFileSystem::shortReadIsEnd(const FileRef& file, const ReadRequest& request) {
    const auto* folder = dynamic_cast<const Folder*>(file.folder);
    return request.listedRegular && request.listedPlain && folder && folder->onLocalDisk && file.nameStart > 0 &&
           file.nameStart < file.path.size();
}

ReadStatus PosixFileSystem::streamListed(const FileRef& file, PieceSink& sink, const ReadRequest& request) {
    const int fd = openListed(file);
    if (fd < 0) return ReadStatus::Failed;
    const FdCloser closer{fd};
    const bool shortReadEnds = shortReadIsEnd(file, request);
    DirEntry* const entry = request.entry && !request.entry->infoLoaded ? request.entry : nullptr;
    bool sized = false;
    std::uint64_t expected = 0;
    auto lookAt = [&] {
        sized = true;
        if (!lookAtOpened(fd, entry, expected)) return false;
        if (expected <= request.maxSize) sink.expect(expected);
        return true;
    };
    // The information wanted after the read is taken from the file as it stands then, and only
    // for a file whose reader still wants it.
    auto ended = [&] {
        if (entry && request.infoAfter && !entry->infoLoaded && (*request.infoAfter)()) {
            std::uint64_t size = 0;
            lookAtOpened(fd, entry, size);
        }
        return ReadStatus::Ok;
    };
    // As in a whole read: a file listed as a regular one is read without asking its size
    // first; only one that fills the first room is looked at.
    if (((entry && !request.infoAfter) || !request.listedRegular) && !lookAt()) return ReadStatus::Failed;
    if (sized && expected > request.maxSize) return ReadStatus::TooLarge;
    std::uint64_t got = 0;
    for (;;) {
        if (got > 0 && request.goOn && !(*request.goOn)(got)) return ReadStatus::Stopped;
        const std::span<char> room = sink.room();
        if (room.empty()) return ReadStatus::Failed;  // a read into no room would look like the end
        const ssize_t n = ::read(fd, room.data(), room.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return ReadStatus::Failed;
        }
        if (n == 0) return ended();
        got += static_cast<std::uint64_t>(n);
        if (!sized && static_cast<std::size_t>(n) == room.size()) {
            if (!lookAt()) return ReadStatus::Failed;
            if (expected > request.maxSize) return ReadStatus::TooLarge;
        }
        if (got > request.maxSize) return ReadStatus::TooLarge;
        if (!sink.arrived(static_cast<std::size_t>(n))) return ended();
        // A regular file that delivered the size fstat gave is complete: no read to find the end.
        if (sized && got == expected) return ended();
        if (shortReadEnds && static_cast<std::size_t>(n) < room.size()) return ended();
    }
}

ReadStatus PosixFileSystem::readOpened(int fd, FileBuffer& buffer, const ReadRequest& request, bool shortReadEnds) {
    const FdCloser closer{fd};
    DirEntry* const entry = request.entry && !request.entry->infoLoaded ? request.entry : nullptr;
    bool sized = false;
    std::uint64_t expected = 0;
    auto lookAt = [&] {
        if (!lookAtOpened(fd, entry, expected)) return false;
        sized = true;
        return true;
    };
    // A file the walk listed as a regular one, whose information nobody wants from this read,
    // is read into the room the buffer has without asking its size first: most files fit, and
    // the read that finds the end costs less than the fstat. Only a file that fills the room
    // is looked at, and then refused if it is not a regular file after all.
    if ((entry || !request.listedRegular) && !lookAt()) return ReadStatus::Failed;
    const std::uint64_t maxSize = request.maxSize;
    if (sized && expected > maxSize) return ReadStatus::TooLarge;
    // Room for the whole file and one byte more, so the read that finds the end needs no
    // growth. A file up to one piece is read by one read(); a larger one piece by piece,
    // with the go-on check and the NUL test between the pieces. The loop also covers short
    // reads and files that grew since fstat (up to the limit).
    std::size_t cap = 0;
    if (sized) {
        cap = static_cast<std::size_t>(expected) + 1;
    } else {
        cap = buffer.capacity() > 1 ? buffer.capacity() - 1 : 0;
        cap = std::max(cap, kFirstReadRoom);
        // A file over the limit fills the room and is refused then, never read whole.
        if (cap > maxSize) cap = static_cast<std::size_t>(maxSize) + 1;
    }
    buffer.reserve(cap);
    std::size_t got = 0;
    std::size_t nulChecked = 0;
    for (;;) {
        if (got == cap) {
            if (!sized) {
                if (!lookAt()) {
                    buffer.setSize(0);
                    return ReadStatus::Failed;
                }
                if (expected > maxSize) {
                    buffer.setSize(0);
                    return ReadStatus::TooLarge;
                }
                if (expected >= cap) {
                    buffer.setSize(got);
                    cap = static_cast<std::size_t>(expected) + 1;
                    buffer.reserve(cap);
                    continue;
                }
            }
            if (cap > maxSize) {
                buffer.setSize(0);
                return ReadStatus::TooLarge;
            }
            buffer.setSize(got);  // keeps the bytes read so far across the reallocation
            cap = cap * 2;
            buffer.reserve(cap);
        }
        const bool large = cap > kReadPieceBytes;
        if (got >= kReadPieceBytes && request.goOn && !(*request.goOn)(got)) {
            buffer.setSize(0);
            return ReadStatus::Stopped;
        }
        // Pieces end at multiples of the piece size, however the read began.
        const std::size_t toPieceEnd = kReadPieceBytes - got % kReadPieceBytes;
        const std::size_t want = large && cap - got > toPieceEnd ? toPieceEnd : cap - got;
        const ssize_t n = ::read(fd, buffer.data() + got, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            buffer.setSize(0);
            return ReadStatus::Failed;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
        if (request.stopAtNul && large) {
            // A binary file is not read past its first NUL byte.
            if (const void* nul = std::memchr(buffer.data() + nulChecked, 0, got - nulChecked)) {
                got = static_cast<std::size_t>(static_cast<const char*>(nul) - buffer.data());
                buffer.setSize(got);
                return ReadStatus::Ok;
            }
            nulChecked = got;
        }
        // A regular file that delivered the size fstat gave is complete; skipping the read
        // that would return 0 saves a system call per file.
        if (sized && got == expected && expected > 0) break;
        if (shortReadEnds && static_cast<std::size_t>(n) < want) break;
    }
    buffer.setSize(got);
    if (request.stopAtNul && nulChecked < got) {
        if (const void* nul = std::memchr(buffer.data() + nulChecked, 0, got - nulChecked))
            buffer.setSize(static_cast<std::size_t>(static_cast<const char*>(nul) - buffer.data()));
    }
    return ReadStatus::Ok;
}

}  // namespace vsr::platform
