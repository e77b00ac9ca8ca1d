#pragma once
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

struct stat;

#include "platform/file_system.h"

namespace vsr::platform {

// The real file system through opendir/readdir, fstat and read. Safe to use from several
// threads: a walk lists folders while other threads read their files.
class PosixFileSystem final : public FileSystem {
public:
    PosixFileSystem();
    ~PosixFileSystem() override;
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;

    bool listDirectory(const std::string& dir, std::vector<DirEntry>& out) override;
    bool listFolder(const std::string& dir, std::vector<DirEntry>& out, FolderRef& handle) override;
    bool listSubfolder(const FileRef& folder, std::vector<DirEntry>& out, FolderRef& handle) override;
    bool stat(const std::string& path, FileInfo& out) override;
    bool statAt(const FileRef& file, FileInfo& out) override;
    bool statByName(const std::string& path, bool followLink, FileInfo& out) override;
    std::unique_ptr<FolderLookup> openLookup(const std::string& path, bool followLink, FileInfo& info) override;
    ReadStatus readFile(const std::string& path, FileBuffer& buffer, std::uint64_t maxSize) override;
    ReadStatus readListed(const FileRef& file, FileBuffer& buffer, const ReadRequest& request) override;
    ReadStatus streamListed(const FileRef& file, PieceSink& sink, const ReadRequest& request) override;
    void releaseCaches() override { closeCachedFolder(); }

    // Folder handles held at once beyond which listings hand out none: the walk may run
    // thousands of files ahead of the readers, and each handle is an open descriptor. Each
    // folder of the walk's way down holds one too, so a deeper tree opens its deeper folders
    // by their full names; past the length the system takes a full name for, by their names
    // relative to a folder above that kept one. Fewer when the process may open few descriptors
    // (a quarter of them).
    static constexpr int kMaxHeldFolders = 256;
    int maxHeldFolders() const { return maxHeld_; }

private:
    // A handle of a listed folder; closed when the last user lets go of it.
    struct Folder final : FolderHandle, std::enable_shared_from_this<Folder> {
        Folder(std::string p, int d, std::atomic<int>& held, bool local)
            : path(std::move(p)), fd(d), onLocalDisk(local), held_(held) {
            ++held_;
        }
        // A folder that keeps no descriptor: its names are opened relative to `b`, the folder
        // above it whose full name is `path` up to `relative` - 1.
        Folder(std::string p, std::shared_ptr<const Folder> b, std::size_t relative, std::atomic<int>& held, bool local)
            : path(std::move(p)), onLocalDisk(local), base(std::move(b)), relativeAt(relative), held_(held) {}
        ~Folder() override;
        // openat() and fstatat() of a name in this folder.
        int openAt(const char* name, int flags) const;
        int statAt(const char* name, struct stat& st) const;
        std::string path;
        int fd = -1;
        bool onLocalDisk = false;  // see onLocalDisk() in the source
        std::shared_ptr<const Folder> base;
        std::size_t relativeAt = 0;
        std::atomic<int>& held_;
    };
    // Opens `path` for reading relative to a recently listed folder when it lies there, so the
    // kernel resolves one name instead of the whole path for every file of a folder.
    int openForRead(const std::string& path);
    // Opens a listed file by its name in its folder's handle when there is one.
    int openListed(const FileRef& file);
    // The handle of the folder `path` lies in, when it is among the recent ones.
    std::shared_ptr<const Folder> folderOf(const std::string& path, std::size_t& slash);
    void keepFolder(const std::shared_ptr<const Folder>& folder);
    void closeCachedFolder();
    // Lists the opened folder `fd` named `path`, keeping it as the handle when there is room.
    bool listOpened(int fd, const std::string& path, std::vector<DirEntry>& out, FolderRef& handle,
                    const Folder* parent = nullptr);
    // Reads the opened file as `request` says and closes it.
    ReadStatus readOpened(int fd, FileBuffer& buffer, const ReadRequest& request, bool shortReadEnds = false);
    // Whether a read of `file` that returns fewer bytes than asked for is at its end: a file
    // listed as itself (no link) in a folder whose handle lies on a local disk, where reads of
    // regular files come short only there. Saves the read that would return nothing.
    static bool shortReadIsEnd(const FileRef& file, const ReadRequest& request);
    std::mutex mutex_;
    // The folders listed last (readers of files lag behind the walk by a few folders).
    std::array<std::shared_ptr<const Folder>, 8> folders_;
    std::size_t nextFolder_ = 0;
    std::atomic<int> held_ = 0;
    int maxHeld_ = kMaxHeldFolders;
};

}  // namespace vsr::platform
