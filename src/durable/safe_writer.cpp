#include "durable/safe_writer.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <fcntl.h>
#include <map>
#include <random>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

#include "durable/attribute_transfer.h"
#include "platform/fd_io.h"
#include "platform/file_place.h"

namespace vsr::durable {
namespace {

// A batch holds three open files per rewrite (the new file, the old one and their folder); this
// keeps far below the usual limit of 1024.
constexpr std::size_t kBatchFiles = 128;
constexpr std::size_t kBatchBytes = 256u << 20;

constexpr const char* kChangedSinceRead = "it changed since it was read";
constexpr const char* kNoBackup = "its backup could not be made";
constexpr const char* kNoRecoveryNote = "no recovery copy of it could be made before writing it in place";

// The system's text for the error `e` ("No space left on device"), safe on any thread.
std::string errnoText(int e) { return std::error_code(e, std::generic_category()).message(); }

bool writeCounted(int fd, std::string_view bytes, const RewriteFaults* faults) {
    if (faults && faults->failWriteAfter >= 0 && bytes.size() > static_cast<std::size_t>(faults->failWriteAfter)) {
        platform::writeAllTo(fd, bytes.substr(0, static_cast<std::size_t>(faults->failWriteAfter)));
        errno = ENOSPC;
        return false;
    }
    return platform::writeAllTo(fd, bytes);
}

constexpr std::size_t kHoleBlock = 4096;

bool zeroBlock(const char* p, std::size_t n) {
    static const char zeros[kHoleBlock] = {};
    return std::memcmp(p, zeros, n) == 0;
}

// A file whose blocks hold fewer bytes than its size has holes: runs of zeros the disk does not
// store. Its rewrite keeps them.
bool hasHoles(const struct stat& st) { return st.st_size > 0 && st.st_blocks * 512 < st.st_size; }

// Writes `bytes` from the start of the file `fd` with every aligned block of zeros left as a
// hole: skipped in a new file, punched out of an old one (`inPlace`). The file is cut to the
// bytes' length.
bool writeKeepingHoles(int fd, std::string_view bytes, bool inPlace, const RewriteFaults* faults) {
    if (faults && faults->failWriteAfter >= 0)
        return ::lseek(fd, 0, SEEK_SET) == 0 && writeCounted(fd, bytes, faults) &&
               ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
    const char* data = bytes.data();
    std::size_t at = 0;
    while (at < bytes.size()) {
        const bool zeros = zeroBlock(data + at, std::min(kHoleBlock, bytes.size() - at));
        std::size_t end = at;
        while (end < bytes.size() && zeroBlock(data + end, std::min(kHoleBlock, bytes.size() - end)) == zeros)
            end += std::min(kHoleBlock, bytes.size() - end);
        const auto offset = static_cast<off_t>(at);
        const auto length = static_cast<off_t>(end - at);
        bool written = zeros && !inPlace;
        if (zeros && inPlace)
            written = ::fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, offset, length) == 0;
        if (!written) {
            std::string_view run = bytes.substr(at, end - at);
            for (off_t to = offset; !run.empty();) {
                const ssize_t n = ::pwrite(fd, run.data(), run.size(), to);
                if (n < 0) {
                    if (errno == EINTR) continue;
                    return false;
                }
                run.remove_prefix(static_cast<std::size_t>(n));
                to += n;
            }
        }
        at = end;
    }
    return ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
}

// The file a symbolic link (or a chain of them) at `path` names; any other path as it is.
std::string pathBehindLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf)) return buf;
    }
    return path;
}

// A hidden name of the writer's own form beside the file; it lives only between being given to
// a flushed file and the rename over the file.
std::string freshTempName(const std::string& base) {
    static thread_local std::mt19937_64 random{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = "." + base.substr(0, 200) + ".vsr-";
    for (int i = 0; i < 8; ++i) name += letters[random() % (sizeof letters - 1)];
    return name;
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

// A file with no name in the folder of `at`: a kill before it is named leaves nothing. Where
// the file system has no unnamed files, a named one (`named`, in that folder) is made and logged
// first, so the next start removes it. -1 with errno when the folder refuses new files.
int openUnnamed(const platform::FilePlace& at, std::string& named, TempNameLog& log, const RewriteFaults* faults = nullptr) {
    const int dir = at.folder->fd();
    int fd = -1;
    if (faults && faults->noUnnamedFiles) {
        errno = EOPNOTSUPP;
    } else {
        fd = ::openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string name = freshTempName(at.name);
        if (!log.add(platform::FilePlace{at.folder, name}.path())) return -1;
        fd = ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0) {
            named = name;
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

bool giveName(int fd, int dir, const std::string& name) {
    char proc[64];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    if (::linkat(AT_FDCWD, proc, dir, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno == EEXIST) return false;
    return ::linkat(fd, "", dir, name.c_str(), AT_EMPTY_PATH) == 0;
}

// Gives the flushed file `fd` the name of `dest`, replacing what is there in one step; `named`
// is its temporary name in that folder, if it has one. When `dest` is known to exist, the link
// that could only fail is not tried.
bool publishAs(int fd, std::string& named, const platform::FilePlace& dest, TempNameLog& log, bool destExists = false) {
    const int dir = dest.folder->fd();
    if (!named.empty()) {
        if (::renameat(dir, named.c_str(), dir, dest.name.c_str()) != 0) return false;
        named.clear();
        return true;
    }
    // Nothing there yet: the name is given directly, no temporary name at all.
    if (!destExists) {
        if (giveName(fd, dir, dest.name)) return true;
        if (errno != EEXIST) return false;
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string temp = freshTempName(dest.name);
        if (!log.add(platform::FilePlace{dest.folder, temp}.path())) return false;
        if (!giveName(fd, dir, temp)) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (::renameat(dir, temp.c_str(), dir, dest.name.c_str()) == 0) return true;
        ::unlinkat(dir, temp.c_str(), 0);
        return false;
    }
    return false;
}

void flushFolder(const platform::FilePlace& place) { ::fsync(place.folder->fd()); }

void unlinkAt(const platform::FilePlace& place) { ::unlinkat(place.folder->fd(), place.name.c_str(), 0); }

// Writes a backup's bytes to a new file with its original's attributes (as far as allowed) and
// modification time.
int makeBackupFile(const platform::FilePlace& backup, const RewriteRequest& r, int original, const struct stat& st,
                   std::string& named, TempNameLog& log, const RewriteFaults* faults) {
    int fd = openUnnamed(backup, named, log, faults);
    if (fd < 0) return -1;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    const bool written = hasHoles(st) ? writeKeepingHoles(fd, r.oldBytes, false, nullptr) : platform::writeAllTo(fd, r.oldBytes);
    if (written && transferAttributes(original, st, fd, Likeness::Backup) && ::futimens(fd, times) == 0) return fd;
    ::close(fd);
    if (!named.empty()) ::unlinkat(backup.folder->fd(), named.c_str(), 0);
    named.clear();
    return -1;
}

// Copies the data of the open file `from` to `to` from `at` on (in the kernel where it can).
bool copyFrom(int from, int to, off_t at) {
    for (;;) {
        off_t out = at;
        ssize_t n = ::copy_file_range(from, &at, to, &out, 1 << 30, 0);
        if (n == 0) return true;
        if (n > 0) continue;
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != EINVAL && errno != EOPNOTSUPP && errno != ENOSYS) return false;
        break;
    }
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::pread(from, buf, sizeof buf, at);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (::pwrite(to, buf, static_cast<std::size_t>(n), at) != n) return false;
        at += n;
    }
}

// Copies the whole open file `from` to the new file `to`; the holes of a sparse file stay holes.
bool copyAll(int from, int to, const struct stat& st) {
    if (!hasHoles(st)) return copyFrom(from, to, 0);
    // Each run of data is copied on its own, up to the hole after it.
    for (off_t at = 0; at < st.st_size;) {
        const off_t data = ::lseek(from, at, SEEK_DATA);
        if (data < 0 && errno == ENXIO) break;  // only a hole is left
        const off_t hole = data < 0 ? -1 : ::lseek(from, data, SEEK_HOLE);
        // A file system that can't tell where the holes are gets every byte copied.
        if (hole < 0) return copyFrom(from, to, at) && ::ftruncate(to, st.st_size) == 0;
        for (off_t pos = data; pos < hole;) {
            off_t out = pos;
            const ssize_t n = ::copy_file_range(from, &pos, to, &out, static_cast<std::size_t>(hole - pos), 0);
            if (n > 0) continue;
            if (n == 0) return false;  // the file shrank while it was copied
            if (errno == EINTR) continue;
            if (errno != EXDEV && errno != EINVAL && errno != EOPNOTSUPP && errno != ENOSYS) return false;
            char buf[1 << 16];
            const std::size_t want = std::min<std::size_t>(sizeof buf, static_cast<std::size_t>(hole - pos));
            const ssize_t got = ::pread(from, buf, want, pos);
            if (got <= 0 || ::pwrite(to, buf, static_cast<std::size_t>(got), pos) != got) return false;
            pos += got;
        }
        at = hole;
    }
    return ::ftruncate(to, st.st_size) == 0;
}

// A durable copy of the open file `original` named `backupPath`, for a file system where the
// file can't simply get a second name.
bool publishBackupCopy(int original, const platform::FilePlace& backup, TempNameLog& log, const RewriteFaults* faults) {
    struct stat st {};
    if (::fstat(original, &st) != 0) return false;
    std::string named;
    int fd = openUnnamed(backup, named, log, faults);
    if (fd < 0) return false;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    bool ok = copyAll(original, fd, st) && transferAttributes(original, st, fd, Likeness::Backup) &&
              ::futimens(fd, times) == 0 && ::fdatasync(fd) == 0 && publishAs(fd, named, backup, log);
    ::close(fd);
    if (!named.empty()) ::unlinkat(backup.folder->fd(), named.c_str(), 0);
    return ok;
}

}  // namespace

struct RewriteBatch::Pending {
    std::size_t tag = 0;
    platform::FilePlace place;
    platform::FileStamp stamp;
    dev_t device = 0;
    int fd = -1;
    std::string named;  // only where the file system has no unnamed files
    int original = -1;  // the file as it was read
    bool makeBackup = false;
    platform::FilePlace backup;

    ~Pending() {
        if (fd >= 0) ::close(fd);
        if (original >= 0) ::close(original);
        if (!named.empty() && place.folder) ::unlinkat(place.folder->fd(), named.c_str(), 0);
    }
};

struct RewriteBatch::Sealed {
    std::vector<std::unique_ptr<Pending>> files;
    std::unique_ptr<TempNameLog> names;
};

RewriteBatch::RewriteBatch(const RewriteFaults* faults)
    : faults_(faults), names_(std::make_unique<TempNameLog>()) {}

RewriteBatch::~RewriteBatch() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    sentOne_.notify_all();
    if (publisher_.joinable()) publisher_.join();
}

bool RewriteBatch::full() const { return pending_.size() >= kBatchFiles || pendingBytes_ >= kBatchBytes; }

RewriteBatch::Staged RewriteBatch::stage(const RewriteRequest& r, std::size_t tag) {
    lastBackupMade_ = false;
    lastStaged_ = {};
    refusal_.clear();
    // Without a place of its own the file lies where its name leads.
    const platform::FilePlace place = r.place ? r.place : platform::placeByPath(pathBehindLink(r.path));
    if (!place) return refuse("its folder can't be opened: " + errnoText(errno));
    platform::FilePlace backup;
    if (r.makeBackup) {
        backup = r.backupPlace ? r.backupPlace : platform::placeByPath(r.backupPath);
        if (!backup) return refuse(std::string(kNoBackup) + ": " + errnoText(errno));
    }
    const int dir = place.folder->fd();
    struct stat st {};
    if (::fstatat(dir, place.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return refuse("it can't be reached: " + errnoText(errno));
    if (S_ISLNK(st.st_mode)) return refuse("it was replaced by a symbolic link since it was read");
    if (!S_ISREG(st.st_mode)) return refuse("it is no longer a regular file");
    // Another program changed the file since it was read: its bytes must not be overwritten.
    if (!(platform::FileStamp::of(st) == r.readAs)) return refuse(kChangedSinceRead);
    const uid_t me = ::geteuid();
    if (::faccessat(dir, place.name.c_str(), W_OK, AT_EACCESS) != 0 &&
        !(r.clearReadOnly && (me == 0 || me == st.st_uid)))
        return refuse("it may not be written: " + errnoText(errno));
    if (r.makeBackup && faults_ && faults_->noBackup) return refuse(kNoBackup);
    // Renaming a new file over one of several hard links would split it from the others.
    if (st.st_nlink > 1) return inPlace(r, place, backup, st);

    auto p = std::make_unique<Pending>();
    p->place = place;
    if (faults_ && faults_->noTempFile) {
        errno = EACCES;
    } else {
        p->fd = openUnnamed(place, p->named, *names_, faults_);
    }
    if (p->fd < 0) {
        if (errno == EACCES || errno == EPERM || errno == EROFS) return inPlace(r, place, backup, st);
        return refuse("no new file can be made in its folder: " + errnoText(errno));
    }
    const bool written =
        hasHoles(st) ? writeKeepingHoles(p->fd, r.bytes, false, faults_) : writeCounted(p->fd, r.bytes, faults_);
    if (!written) return refuse("writing the new contents failed: " + errnoText(errno));
    struct stat again {};
    p->original = platform::openRegularAt(dir, place.name, again);
    // The file opened must be the one read: it becomes the backup.
    if (p->original < 0 || !(platform::FileStamp::of(again) == r.readAs)) return refuse(kChangedSinceRead);
    // A new file that can't be given the file's owner, group, mode and attributes can't stand in
    // for it; writing in place keeps them all.
    if (!transferAttributes(p->original, st, p->fd, Likeness::Exact)) {
        p.reset();
        return inPlace(r, place, backup, st);
    }
    p->tag = tag;
    p->stamp = r.readAs;
    p->device = st.st_dev;
    p->makeBackup = r.makeBackup;
    p->backup = backup;
    struct stat made {};
    if (::fstat(p->fd, &made) == 0) lastStaged_ = {static_cast<std::uint64_t>(made.st_dev), made.st_ino};
    pendingBytes_ += r.bytes.size();
    pending_.push_back(std::move(p));
    return Staged::Pending;
}

RewriteBatch::Staged RewriteBatch::refuse(std::string why) {
    refusal_ = std::move(why);
    return Staged::Refused;
}

RewriteBatch::Staged RewriteBatch::inPlace(const RewriteRequest& r, const platform::FilePlace& place, const platform::FilePlace& backup,
                                          const struct stat& st) {
    const uid_t me = ::geteuid();
    const mode_t mode = st.st_mode & 07777;
    // Without the right to keep them, a write by someone else would strip the set-id bits.
    if (me != 0 && me != st.st_uid && (mode & (S_ISUID | S_ISGID)))
        return refuse("its set-user or set-group bit would be lost, and only its owner may keep it");
    const std::string path = place.path();
    const int dir = place.folder->fd();

    RecoveryRecord record;
    TempNameLog names;
    if (r.makeBackup) {
        struct stat again {};
        int original = platform::openRegularAt(dir, place.name, again);
        if (original < 0) return refuse("it can't be opened: " + errnoText(errno));
        std::string named;
        int fd = makeBackupFile(backup, r, original, st, named, names, faults_);
        const int made = errno;
        ::close(original);
        if (fd < 0) return refuse(std::string(kNoBackup) + ": " + errnoText(made));
        bool ok = ::fdatasync(fd) == 0 && publishAs(fd, named, backup, names);
        const int published = errno;
        ::close(fd);
        if (!named.empty()) ::unlinkat(backup.folder->fd(), named.c_str(), 0);
        names.clear();
        if (!ok) return refuse(std::string(kNoBackup) + ": " + errnoText(published));
        flushFolder(backup);
        lastBackupMade_ = true;
        if (!record.beginWithSource(path, backup.path(), false, r.oldBytes, r.bytes, mode)) {
            unlinkAt(backup);
            lastBackupMade_ = false;
            return refuse(kNoRecoveryNote);
        }
    } else if (!record.beginWithCopy(path, r.oldBytes, r.bytes, mode)) {
        return refuse(kNoRecoveryNote);
    }
    // A backup made for a file that is then left alone is removed again.
    auto abandon = [&](std::string why) {
        record.finish();
        if (lastBackupMade_) unlinkAt(backup);
        lastBackupMade_ = false;
        return refuse(std::move(why));
    };

    // The file is held by a reference that no link can redirect, and opened for writing through
    // it; its mode is changed through it too.
    const int held = ::openat(dir, place.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (held < 0) return abandon("it can't be opened for writing: " + errnoText(errno));
    char proc[64];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", held);
    constexpr int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    bool madeWritable = false;
    struct stat heldSt {};
    int fd = ::fstat(held, &heldSt) == 0 && S_ISREG(heldSt.st_mode) ? ::open(proc, flags) : (errno = ELOOP, -1);
    if (fd < 0 && errno == EACCES && r.clearReadOnly && ::chmod(proc, mode | S_IWUSR) == 0) {
        // Only for as long as the write takes; the mode is put back below (or by recovery).
        madeWritable = true;
        fd = ::open(proc, flags);
    }
    struct stat now {};
    const bool same = fd >= 0 && ::fstat(fd, &now) == 0 && S_ISREG(now.st_mode) && now.st_dev == st.st_dev &&
                      now.st_ino == st.st_ino && now.st_size == st.st_size &&
                      now.st_mtim.tv_sec == st.st_mtim.tv_sec && now.st_mtim.tv_nsec == st.st_mtim.tv_nsec;
    const int opened = errno;
    const std::string caps = fd >= 0 ? capabilitiesOf(fd) : std::string();
    if (!same || (!caps.empty() && me != 0)) {
        if (fd >= 0) ::close(fd);
        if (madeWritable) ::chmod(proc, mode);
        ::close(held);
        if (fd < 0) return abandon("it can't be opened for writing: " + errnoText(opened));
        if (!same) return abandon(kChangedSinceRead);
        return abandon("its capabilities would be lost, and only root may set them again");
    }

    ::close(held);
    bool ok = true;
    const bool holes = hasHoles(st);
    // Claiming the space of a sparse file would fill its holes.
    if (!holes && r.bytes.size() > r.oldBytes.size()) {
        // Claiming the space first turns most full-disk failures into a refusal.
        int rc = ::posix_fallocate(fd, 0, static_cast<off_t>(r.bytes.size()));
        if (rc != 0 && rc != EOPNOTSUPP && rc != EINVAL) {
            ok = false;
            errno = rc;
        }
    }
    if (holes)
        ok = ok && writeKeepingHoles(fd, r.bytes, true, faults_) && ::fdatasync(fd) == 0;
    else
        ok = ok && ::lseek(fd, 0, SEEK_SET) == 0 && writeCounted(fd, r.bytes, faults_) &&
             ::ftruncate(fd, static_cast<off_t>(r.bytes.size())) == 0 && ::fdatasync(fd) == 0;
    if (!ok) {
        const std::string why = "writing it failed: " + errnoText(errno);
        const bool restored = !(faults_ && faults_->failRestore) && platform::overwriteFromStart(fd, r.oldBytes);
        ::fchmod(fd, mode);
        ::close(fd);
        if (!restored) {
            // The note stays: the next start puts the bytes back.
            refuse(why + "; its old contents are put back at the next start");
            return Staged::Damaged;
        }
        return abandon(why);
    }
    // A write drops capabilities and, for anyone but root, set-id bits: both are put back.
    if (!caps.empty()) setCapabilities(fd, caps);
    ::fchmod(fd, mode);
    ::close(fd);
    record.finish();
    return Staged::Written;
}

bool RewriteBatch::publishBackup(Pending& p, TempNameLog& names) {
    // The file as it was read gets the backup's name: a second name of the same inode, which the
    // rename of the new file then leaves as the backup's only name. A file system without hard
    // links, a backup on another one, or a link the system's protection refuses: a copy instead.
    // An older backup replaced here is held until then, so that freeing it does not hold up the run.
    const int older = ::openat(p.backup.folder->fd(), p.backup.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    std::string none;
    const bool ok = (!(faults_ && faults_->noHardLinks) && publishAs(p.original, none, p.backup, names)) ||
                    publishBackupCopy(p.original, p.backup, names, faults_);
    const int error = errno;
    released_.close(older);
    errno = error;
    return ok;
}

std::vector<RewriteBatch::Published> RewriteBatch::publish(Sealed& batch) {
    std::vector<Published> out;
    // One flush for the batch: every new file, and every file that becomes a backup, is on disk
    // before any is published. When the disk can't say so, nothing of the batch is.
    bool flushed = !(faults_ && faults_->failFlush);
    int flushError = EIO;
    if (flushed && batch.files.size() == 1) {
        const Pending& p = *batch.files[0];
        flushed = ::fdatasync(p.fd) == 0 && (!p.makeBackup || ::fdatasync(p.original) == 0);
        if (!flushed) flushError = errno;
    } else if (flushed) {
        std::set<dev_t> devices;
        for (const auto& p : batch.files)
            if (devices.insert(p->device).second && ::syncfs(p->fd) != 0) {
                flushed = false;
                flushError = errno;
            }
    }
    // Each folder is flushed once, however many of its files the batch published.
    std::map<std::string, platform::OpenFolderRef> folders;
    for (const auto& p : batch.files) {
        Published done{p->tag, RewriteOutcome::Unchanged, false, {}};
        // Nothing is published over a file another program changed since it was read.
        struct stat st {};
        if (!flushed) {
            done.reason = "the disk did not confirm the new contents were stored: " + errnoText(flushError);
            out.push_back(std::move(done));
            continue;
        }
        if (::fstatat(p->place.folder->fd(), p->place.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !(platform::FileStamp::of(st) == p->stamp)) {
            done.reason = kChangedSinceRead;
            out.push_back(std::move(done));
            continue;
        }
        folders.emplace(p->place.folder->path(), p->place.folder);
        if (p->makeBackup) {
            if (!publishBackup(*p, *batch.names)) {
                done.reason = std::string(kNoBackup) + ": " + errnoText(errno);
                out.push_back(std::move(done));
                continue;
            }
            done.backupMade = true;
            folders.emplace(p->backup.folder->path(), p->backup.folder);
        }
        if (publishAs(p->fd, p->named, p->place, *batch.names, true)) {
            done.outcome = RewriteOutcome::Written;
            // Without a backup the old file has no name left: freeing its blocks is left to
            // the closing threads.
            if (!done.backupMade) {
                released_.close(p->original);
                p->original = -1;
            }
        } else {
            done.reason = "it could not be replaced by its new contents: " + errnoText(errno);
            if (done.backupMade) unlinkAt(p->backup);
            done.backupMade = false;
        }
        out.push_back(std::move(done));
    }
    for (const auto& [path, folder] : folders) ::fsync(folder->fd());
    batch.names->clear();
    return out;
}

void RewriteBatch::send() {
    if (pending_.empty()) return;
    auto batch = std::make_unique<Sealed>();
    batch->files = std::move(pending_);
    pending_.clear();
    pendingBytes_ = 0;
    batch->names = std::exchange(names_, std::make_unique<TempNameLog>());
    std::unique_lock lock(mutex_);
    doneOne_.wait(lock, [&] { return !sent_; });
    if (!publisher_.joinable()) {
        try {
            publisher_ = std::thread([this] { publishing(); });
        } catch (const std::system_error&) {
            // No thread to spare: the batch is published here.
            lock.unlock();
            std::vector<Published> out = publish(*batch);
            lock.lock();
            published_.insert(published_.end(), out.begin(), out.end());
            return;
        }
    }
    sent_ = std::move(batch);
    lock.unlock();
    sentOne_.notify_one();
}

std::vector<RewriteBatch::Published> RewriteBatch::takePublished(bool wait) {
    std::unique_lock lock(mutex_);
    if (wait) doneOne_.wait(lock, [&] { return !sent_; });
    return std::exchange(published_, {});
}

void RewriteBatch::publishing() {
    std::unique_lock lock(mutex_);
    for (;;) {
        sentOne_.wait(lock, [&] { return quit_ || sent_; });
        if (!sent_) return;
        Sealed& batch = *sent_;
        lock.unlock();
        std::vector<Published> out = publish(batch);
        // The batch's files are closed before it counts as done.
        batch.files.clear();
        lock.lock();
        published_.insert(published_.end(), out.begin(), out.end());
        sent_.reset();
        doneOne_.notify_all();
    }
}

bool writeFileAtomically(const std::string& requested, std::string_view bytes) {
    const std::string path = pathBehindLink(requested);
    const platform::FilePlace place = platform::placeByPath(path);
    if (!place) return false;
    struct stat st {};
    if (::fstatat(place.folder->fd(), place.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) return false;
        TempNameLog log;
        std::string named;
        int fd = openUnnamed(place, named, log);
        if (fd < 0) return false;
        bool ok = platform::writeAllTo(fd, bytes) && ::fchmod(fd, newFileMode()) == 0 && ::fdatasync(fd) == 0 &&
                  publishAs(fd, named, place, log);
        ::close(fd);
        if (!named.empty()) ::unlinkat(place.folder->fd(), named.c_str(), 0);
        if (ok) flushFolder(place);
        return ok;
    }
    if (!S_ISREG(st.st_mode)) return false;
    platform::FileStamp stamp;
    std::optional<std::string> old = platform::readWholeFileAt(place, &stamp);
    if (!old) return false;
    RewriteRequest r;
    r.path = path;
    r.place = place;
    r.bytes = bytes;
    r.oldBytes = *old;
    r.readAs = stamp;
    RewriteBatch batch;
    switch (batch.stage(r, 0)) {
        case RewriteBatch::Staged::Written: return true;
        case RewriteBatch::Staged::Pending: {
            std::vector<RewriteBatch::Published> done = batch.commit();
            return done.size() == 1 && done[0].outcome == RewriteOutcome::Written;
        }
        default: return false;
    }
}

}  // namespace vsr::durable
