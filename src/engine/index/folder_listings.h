#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/index/index_format.h"
#include "platform/file_system.h"

namespace vsr::engine::index {

// The listings of the folders a search walked, kept beside the content index in a file of their
// own: a folder whose identity (device, inode, size and both times) is still the recorded one
// holds the same names as then, since adding, removing or renaming an entry changes its times,
// so the next search takes its listing from here instead of reading the folder.
//
// The file, little-endian: ListingsHeader, the root as the searches name it, then per folder
// its path relative to the root (u32 size, bytes; the root itself has the empty path), its
// identity (five u64), the number of its entries (u32) and per entry its kind (u8: 0 file,
// 1 folder, 2 other) and name (u16 size, bytes), in the order the folder listed them. Folders
// come in the order a walk visits them.
inline constexpr char kListingsMagic[8] = {'V', 'S', 'R', 'D', 'I', 'R', 'S', '\n'};
inline constexpr std::uint32_t kListingsVersion = 1;

struct ListingsHeader {
    char magic[8];
    std::uint32_t version;
    std::uint32_t ownerUid;
    std::uint32_t folderCount;
    std::uint32_t entryCount;
    std::uint64_t rootSize;
    std::uint64_t bodySize;    // from the end of the root to the end of the file
    std::uint64_t bodyHash;    // hashBytes of the root and the body
    std::uint64_t headerHash;  // of every field above
};
static_assert(sizeof(ListingsHeader) == 56);

// The listings file that goes with the index file `indexFile`.
std::string listingsFileFor(const std::string& indexFile);

struct ListedName {
    std::string_view name;
    platform::EntryKind kind = platform::EntryKind::File;
};

// One folder as it is written or was read: views into storage someone else keeps.
struct FolderListing {
    std::string_view path;
    FileIdentity identity;
    std::span<const ListedName> entries;
};

std::string writeListings(std::string_view root, std::uint32_t ownerUid, std::span<const FolderListing> folders);

// The listings of a file, checked whole (hashes, sizes, kinds) before any is believed; the
// views point into the bytes parsed.
class StoredListings {
public:
    // False (and nothing stored) when the bytes are damaged, of another version, or of another
    // root or user.
    bool parse(std::string_view bytes, std::string_view root, std::uint32_t ownerUid);
    const std::vector<FolderListing>& folders() const { return folders_; }
    // The number of the folder with `path`, or -1.
    int find(std::string_view path) const;

private:
    std::vector<ListedName> names_;
    std::vector<FolderListing> folders_;
    std::unordered_map<std::string_view, int> byPath_;
};

}  // namespace vsr::engine::index
