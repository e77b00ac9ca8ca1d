// Stored folder listings on arbitrary bytes. The hashes would refuse almost every input before
// its folders are read, so the input is the body (and the counts) of a file whose header and
// hashes are made to match: the parser must refuse or read it within its bounds, and whatever
// it reads is written back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/index/folder_listings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vsr::engine::index;
    if (size < 8) return 0;
    std::uint32_t folders, entries;
    std::memcpy(&folders, data, 4);
    std::memcpy(&entries, data + 4, 4);
    const std::string_view root = "/r";
    std::string bytes(sizeof(ListingsHeader), '\0');
    bytes.append(root);
    bytes.append(reinterpret_cast<const char*>(data + 8), size - 8);
    ListingsHeader h{};
    std::memcpy(h.magic, kListingsMagic, sizeof h.magic);
    h.version = kListingsVersion;
    h.ownerUid = 7;
    h.folderCount = folders;
    h.entryCount = entries;
    h.rootSize = root.size();
    h.bodySize = size - 8;
    h.bodyHash = hashBytes(std::string_view(bytes).substr(sizeof h));
    std::memcpy(bytes.data(), &h, sizeof h);
    h.headerHash = hashBytes(std::string_view(bytes).substr(0, offsetof(ListingsHeader, headerHash)));
    std::memcpy(bytes.data(), &h, sizeof h);
    StoredListings stored;
    if (!stored.parse(bytes, root, 7)) return 0;
    for (std::size_t k = 0; k < stored.folders().size(); ++k)
        if (stored.find(stored.folders()[k].path) != static_cast<int>(k)) __builtin_trap();
    // Kinds are read as written, so the bytes written back are the bytes read.
    if (writeListings(root, 7, stored.folders()) != bytes) __builtin_trap();
    return 0;
}
