#include "engine/index/folder_listings.h"

#include <cstddef>
#include <cstring>

namespace vsr::engine::index {
namespace {

template <class T>
void appendListingRaw(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Reads a T at `pos` of `bytes`, moving on; false when the bytes end first.
template <class T>
bool takeListingRaw(std::string_view bytes, std::size_t& pos, T& value) {
    if (bytes.size() - pos < sizeof value) return false;
    std::memcpy(&value, bytes.data() + pos, sizeof value);
    pos += sizeof value;
    return true;
}

bool takeListingBytes(std::string_view bytes, std::size_t& pos, std::size_t n, std::string_view& out) {
    if (bytes.size() - pos < n) return false;
    out = bytes.substr(pos, n);
    pos += n;
    return true;
}

std::uint8_t listingKindCode(platform::EntryKind kind) {
    switch (kind) {
        case platform::EntryKind::File: return 0;
        case platform::EntryKind::Directory: return 1;
        case platform::EntryKind::Other: return 2;
    }
    return 2;
}

}  // namespace

std::string listingsFileFor(const std::string& indexFile) {
    std::string file = indexFile;
    if (file.size() >= 4 && file.compare(file.size() - 4, 4, ".idx") == 0) file.resize(file.size() - 4);
    return file + ".dirs";
}

std::string writeListings(std::string_view root, std::uint32_t ownerUid, std::span<const FolderListing> folders) {
    std::string out(sizeof(ListingsHeader), '\0');
    out.append(root);
    std::uint32_t entries = 0;
    for (const FolderListing& f : folders) {
        appendListingRaw(out, static_cast<std::uint32_t>(f.path.size()));
        out.append(f.path);
        appendListingRaw(out, f.identity.device);
        appendListingRaw(out, f.identity.inode);
        appendListingRaw(out, f.identity.size);
        appendListingRaw(out, f.identity.modifiedNs);
        appendListingRaw(out, f.identity.changedNs);
        appendListingRaw(out, static_cast<std::uint32_t>(f.entries.size()));
        for (const ListedName& e : f.entries) {
            appendListingRaw(out, listingKindCode(e.kind));
            appendListingRaw(out, static_cast<std::uint16_t>(e.name.size()));
            out.append(e.name);
        }
        entries += static_cast<std::uint32_t>(f.entries.size());
    }
    ListingsHeader h{};
    std::memcpy(h.magic, kListingsMagic, sizeof h.magic);
    h.version = kListingsVersion;
    h.ownerUid = ownerUid;
    h.folderCount = static_cast<std::uint32_t>(folders.size());
    h.entryCount = entries;
    h.rootSize = root.size();
    h.bodySize = out.size() - sizeof h - root.size();
    h.bodyHash = hashBytes(std::string_view(out).substr(sizeof h));
    std::memcpy(out.data(), &h, sizeof h);
    h.headerHash = hashBytes(std::string_view(out).substr(0, offsetof(ListingsHeader, headerHash)));
    std::memcpy(out.data(), &h, sizeof h);
    return out;
}

bool StoredListings::parse(std::string_view bytes, std::string_view root, std::uint32_t ownerUid) {
    auto fail = [this] {
        names_.clear();
        folders_.clear();
        byPath_.clear();
        return false;
    };
    fail();
    ListingsHeader h;
    std::size_t pos = 0;
    if (!takeListingRaw(bytes, pos, h) || std::memcmp(h.magic, kListingsMagic, sizeof h.magic) != 0 ||
        h.headerHash != hashBytes(bytes.substr(0, offsetof(ListingsHeader, headerHash))) ||
        h.version != kListingsVersion || h.ownerUid != ownerUid || h.rootSize != root.size() ||
        bytes.size() - pos < h.rootSize || bytes.substr(pos, h.rootSize) != root ||
        h.bodySize != bytes.size() - pos - h.rootSize || h.bodyHash != hashBytes(bytes.substr(pos)))
        return false;
    pos += h.rootSize;
    // Each entry takes at least three bytes: a count beyond that is damage, not a reason to
    // reserve memory.
    if (h.entryCount > bytes.size() / 3 || h.folderCount > bytes.size() / 48) return false;
    names_.reserve(h.entryCount);
    folders_.reserve(h.folderCount);
    std::vector<std::uint32_t> firsts;
    firsts.reserve(h.folderCount);
    for (std::uint32_t f = 0; f < h.folderCount; ++f) {
        FolderListing folder;
        std::uint32_t pathSize = 0, count = 0;
        if (!takeListingRaw(bytes, pos, pathSize) || !takeListingBytes(bytes, pos, pathSize, folder.path) ||
            !takeListingRaw(bytes, pos, folder.identity.device) || !takeListingRaw(bytes, pos, folder.identity.inode) ||
            !takeListingRaw(bytes, pos, folder.identity.size) || !takeListingRaw(bytes, pos, folder.identity.modifiedNs) ||
            !takeListingRaw(bytes, pos, folder.identity.changedNs) || !takeListingRaw(bytes, pos, count) ||
            count > h.entryCount - names_.size())
            return fail();
        firsts.push_back(static_cast<std::uint32_t>(names_.size()));
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint8_t kind = 0;
            std::uint16_t nameSize = 0;
            ListedName name;
            if (!takeListingRaw(bytes, pos, kind) || kind > 2 || !takeListingRaw(bytes, pos, nameSize) || nameSize == 0 ||
                !takeListingBytes(bytes, pos, nameSize, name.name) || name.name.find_first_of(std::string_view("/\0", 2)) !=
                                                                   std::string_view::npos)
                return fail();
            name.kind = kind == 0 ? platform::EntryKind::File
                        : kind == 1 ? platform::EntryKind::Directory
                                    : platform::EntryKind::Other;
            names_.push_back(name);
        }
        folder.entries = std::span<const ListedName>(names_).subspan(firsts.back(), count);
        folders_.push_back(folder);
        if (!byPath_.emplace(folder.path, static_cast<int>(f)).second) return fail();
    }
    if (pos != bytes.size() || names_.size() != h.entryCount) return fail();
    return true;
}

int StoredListings::find(std::string_view path) const {
    const auto it = byPath_.find(path);
    return it == byPath_.end() ? -1 : it->second;
}

}  // namespace vsr::engine::index
