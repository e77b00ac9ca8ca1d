#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vsr::engine::index {

// The layout of an index file, little-endian, in this order:
//   IndexHeader, the root's bytes,
//   the paths (relative to the root, one after another),
//   a FileRecord per file, sorted by path,
//   a GramEntry per trigram, sorted by trigram,
//   the posting lists: each the ascending numbers of the files holding its trigram, the first
//   as it is and every other as the step from the one before, seven bits to a byte.
// The header says where each part lies; a hash of the header and one of everything from the
// root up to the posting lists are checked when the file is opened, and each posting list
// carries a hash of its own, checked when it is read.
inline constexpr char kIndexMagic[8] = {'V', 'S', 'R', 'I', 'N', 'D', 'X', '\n'};
inline constexpr std::uint32_t kIndexVersion = 1;
inline constexpr std::uint32_t kNoFallback = 0xFF;

struct IndexHeader {
    char magic[8];
    std::uint32_t version;
    std::uint32_t ownerUid;
    std::uint32_t textEncoding;  // platform::CodePageId the texts were read and folded with
    std::uint32_t fallback;      // the page for files that are not UTF-8, or kNoFallback
    std::uint32_t fileCount;
    std::uint32_t gramCount;
    std::uint64_t rootSize;
    std::uint64_t pathsOffset;
    std::uint64_t pathsSize;
    std::uint64_t filesOffset;
    std::uint64_t gramsOffset;
    std::uint64_t postingsOffset;
    std::uint64_t postingsSize;
    std::uint64_t tablesHash;  // of the bytes from the root up to the posting lists
    std::uint64_t headerHash;  // of every field above
};
static_assert(sizeof(IndexHeader) == 104);

// Which file a record describes and in what state it was read.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The record's trigrams are those of the text every search of the index's encoding sees in the
// file: only then may the file be passed over.
inline constexpr std::uint32_t kTextKnown = 1;
// Changed too shortly before it was read to be trusted: indexed again after the next search.
inline constexpr std::uint32_t kSettling = 2;

struct FileRecord {
    FileIdentity identity;
    std::uint64_t pathOffset;  // in the paths part
    std::uint32_t pathSize;
    std::uint32_t flags;
};
static_assert(sizeof(FileRecord) == 56);

struct GramEntry {
    std::uint32_t gram;  // three bytes, the first the highest
    std::uint32_t count;
    std::uint64_t offset;  // in the posting lists part
    std::uint32_t size;
    std::uint32_t hash;  // low half of hashBytes of the list
};
static_assert(sizeof(GramEntry) == 24);

// A fast 64-bit hash of bytes: it finds damage, it is no defence against forgery (the index is
// the user's own file, checked to be theirs).
std::uint64_t hashBytes(std::string_view bytes);

void appendVarint(std::string& out, std::uint32_t value);
// Reads one number at `pos`, moving it on; false when the bytes end inside it or it is too large.
bool readVarint(std::string_view bytes, std::size_t& pos, std::uint32_t& value);

}  // namespace vsr::engine::index
