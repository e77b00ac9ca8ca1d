#pragma once
#include "platform/file_system.h"

namespace vsr::platform {

// The real file system through opendir/readdir, fstat and read.
class PosixFileSystem final : public FileSystem {
public:
    PosixFileSystem() = default;
    ~PosixFileSystem() override;
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;

    bool listDirectory(const std::string& dir, std::vector<DirEntry>& out) override;
    bool stat(const std::string& path, FileInfo& out) override;
    ReadStatus readFile(const std::string& path, FileBuffer& buffer, std::uint64_t maxSize) override;
    void releaseCaches() override { closeCachedFolder(); }

private:
    // Opens `path` for reading relative to the folder listed last when it lies there, so the
    // kernel resolves one name instead of the whole path for every file of a folder.
    int openForRead(const std::string& path);
    void closeCachedFolder();
    std::string cachedFolder_;
    int cachedFolderFd_ = -1;
};

}  // namespace vsr::platform
