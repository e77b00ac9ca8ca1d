#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vsr::platform {

// A file mapped into memory read-only, for a cache that is read in place rather than loaded.
class MappedFile {
public:
    // Null when the file is missing, unreadable, empty or not a regular file.
    static std::unique_ptr<MappedFile> open(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }
    // The owner the file system gives the file.
    std::uint32_t ownerUid() const { return owner_; }

private:
    MappedFile(void* data, std::size_t size, std::uint32_t owner) : data_(data), size_(size), owner_(owner) {}
    void* data_;
    std::size_t size_;
    std::uint32_t owner_;
};

// The user's cache folder: $XDG_CACHE_HOME, else ~/.cache.
std::string userCacheFolder();
// The real user id of this process.
std::uint32_t currentUserId();
// The absolute name of `path` with every link and "." or ".." resolved; nothing when it does not exist.
std::optional<std::string> canonicalPath(const std::string& path);
// Creates `dir` and the folders above it (mode 0700 for new ones); false when it can't.
bool makeFolders(const std::string& dir);
// Writes `bytes` to a new file beside `path` (private to the user), flushes it and renames it
// onto `path`: a reader sees the old file or the whole new one, never part of one. False and
// nothing changed when any step fails.
bool replaceFileWhole(const std::string& path, std::string_view bytes);

}  // namespace vsr::platform
