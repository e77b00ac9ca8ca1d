#pragma once
#include "platform/file_system.h"

namespace vsr::platform {

// The real file system through opendir/readdir, fstat and read.
class PosixFileSystem final : public FileSystem {
public:
    bool listDirectory(const std::string& dir, std::vector<DirEntry>& out) override;
    bool stat(const std::string& path, FileInfo& out) override;
    ReadStatus readFile(const std::string& path, FileBuffer& buffer, std::uint64_t maxSize) override;
};

}  // namespace vsr::platform
