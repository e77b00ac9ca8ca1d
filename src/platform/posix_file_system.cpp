#include "platform/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

namespace vsr::platform {
namespace {

FileTime toFileTime(const struct timespec& ts) {
    using namespace std::chrono;
    return FileTime(duration_cast<system_clock::duration>(seconds(ts.tv_sec) + nanoseconds(ts.tv_nsec)));
}

void fillInfo(const struct stat& st, const std::string& name, FileInfo& out) {
    out.kind = S_ISREG(st.st_mode) ? EntryKind::File : S_ISDIR(st.st_mode) ? EntryKind::Directory : EntryKind::Other;
    out.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    out.lastWrite = toFileTime(st.st_mtim);
    out.attributes = {};
    out.attributes.readOnly = (st.st_mode & S_IWUSR) == 0;
    out.attributes.hidden = !name.empty() && name[0] == '.';
}

std::string baseName(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The kind of a listed entry: regular files and folders straight from d_type; links are
// resolved so a link to a file is searched as that file, while a link to a folder is never
// walked (a link loop can't hang the walk).
EntryKind kindOf(int dirFd, const struct dirent* e) {
    switch (e->d_type) {
        case DT_REG: return EntryKind::File;
        case DT_DIR: return EntryKind::Directory;
        case DT_LNK: {
            struct stat st;
            if (fstatat(dirFd, e->d_name, &st, 0) != 0) return EntryKind::Other;
            return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
        }
        case DT_UNKNOWN: {
            struct stat st;
            if (fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return EntryKind::Other;
            if (S_ISREG(st.st_mode)) return EntryKind::File;
            if (S_ISDIR(st.st_mode)) return EntryKind::Directory;
            if (S_ISLNK(st.st_mode) && fstatat(dirFd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
                return EntryKind::File;
            return EntryKind::Other;
        }
        default: return EntryKind::Other;
    }
}

}  // namespace

PosixFileSystem::~PosixFileSystem() { closeCachedFolder(); }

PosixFileSystem::Folder::~Folder() {
    if (fd >= 0) ::close(fd);
}

void PosixFileSystem::closeCachedFolder() {
    std::lock_guard lock(mutex_);
    for (auto& f : folders_) f.reset();
}

void PosixFileSystem::keepFolder(const std::string& dir, int fd) {
    auto folder = std::make_shared<Folder>();
    folder->path = dir.empty() ? "/" : dir;
    folder->fd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (folder->fd < 0) return;
    std::lock_guard lock(mutex_);
    folders_[nextFolder_] = std::move(folder);
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
    // O_NONBLOCK keeps a FIFO that slipped past the walk from blocking the open.
    constexpr int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    std::size_t slash = 0;
    if (auto folder = folderOf(path, slash)) return ::openat(folder->fd, path.c_str() + slash + 1, flags);
    return ::open(path.c_str(), flags);
}

bool PosixFileSystem::listDirectory(const std::string& dir, std::vector<DirEntry>& out) {
    out.clear();
    DIR* d = opendir(dir.empty() ? "/" : dir.c_str());
    if (!d) return false;
    int fd = dirfd(d);
    // The walk reads this folder's files next: keep a handle so each is opened by its name
    // alone. Only a listing sets it, and a run releases it, so it never outlives the folder.
    keepFolder(dir, fd);
    while (struct dirent* e = readdir(d)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) continue;
        DirEntry entry;
        entry.name = n;
        entry.kind = kindOf(fd, e);
        out.push_back(std::move(entry));
    }
    closedir(d);
    return true;
}

bool PosixFileSystem::stat(const std::string& path, FileInfo& out) {
    struct stat st;
    std::size_t slash = 0;
    const auto folder = folderOf(path, slash);
    int rc = folder ? ::fstatat(folder->fd, path.c_str() + slash + 1, &st, 0) : ::stat(path.c_str(), &st);
    if (rc != 0) return false;
    fillInfo(st, baseName(path), out);
    return true;
}

ReadStatus PosixFileSystem::readFile(const std::string& path, FileBuffer& buffer, std::uint64_t maxSize) {
    buffer.setSize(0);
    int fd = openForRead(path);
    if (fd < 0) return ReadStatus::Failed;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadStatus::Failed;
    }
    std::uint64_t expected = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    if (expected > maxSize) {
        ::close(fd);
        return ReadStatus::TooLarge;
    }
    // One read for the whole file in the common case; loop for short reads and for files
    // that grew since fstat (up to the limit).
    std::size_t cap = static_cast<std::size_t>(expected) + 1;
    buffer.reserve(cap);
    std::size_t got = 0;
    for (;;) {
        if (got == cap) {
            if (cap > maxSize) {
                ::close(fd);
                return ReadStatus::TooLarge;
            }
            buffer.setSize(got);  // keeps the bytes read so far across the reallocation
            cap = cap * 2;
            buffer.reserve(cap);
        }
        ssize_t n = ::read(fd, buffer.data() + got, cap - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            buffer.setSize(0);
            return ReadStatus::Failed;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
        // A regular file that delivered the size fstat gave is complete; skipping the read
        // that would return 0 saves a system call per file.
        if (got == expected && expected > 0) break;
    }
    ::close(fd);
    buffer.setSize(got);
    return ReadStatus::Ok;
}

}  // namespace vsr::platform
