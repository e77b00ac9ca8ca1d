#include "engine/index/index_store.h"

#include <cstdio>

#include "platform/cache_files.h"

namespace vsr::engine::index {

std::string indexFolder() { return platform::userCacheFolder() + "/Vantix Search & Replace/index"; }

std::string indexFileFor(const std::string& canonicalRoot) {
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.idx", static_cast<unsigned long long>(hashBytes(canonicalRoot)));
    return indexFolder() + "/" + name;
}

std::optional<IndexStore> IndexStore::forRoot(const std::string& root, const TextReading& reading) {
    const std::optional<std::string> canonical = platform::canonicalPath(root);
    if (!canonical) return std::nullopt;
    IndexStore store;
    store.scope_.root = *canonical;
    store.scope_.textEncoding = reading.textEncoding;
    store.scope_.fallback = reading.fallback;
    store.scope_.ownerUid = platform::currentUserId();
    store.reading_ = reading;
    store.file_ = indexFileFor(*canonical);
    return store;
}

std::unique_ptr<IndexReader> IndexStore::open(IndexState& state) const {
    return IndexReader::open(file_, scope_, state);
}

bool IndexStore::rebuild(platform::FileSystem& fs, platform::Clock& clock, const std::string& root,
                         BuildCounts* counts, const std::atomic<bool>* stop) const {
    const bool folder = platform::makeFolders(indexFolder());
    const std::string bytes =
        buildIndex(fs, clock, root, scope_, reading_, counts, nullptr, stop, folder ? indexFolder() : std::string());
    if (bytes.empty() || !folder) return false;
    return platform::replaceFileWhole(file_, bytes);
}

bool IndexStore::refresh(platform::FileSystem& fs, platform::Clock& clock, const std::string& root,
                         BuildCounts* counts, const std::atomic<bool>* stop) const {
    IndexState state;
    std::string bytes;
    {
        const std::unique_ptr<IndexReader> base = open(state);
        if (base && platform::makeFolders(indexFolder()))
            bytes = buildIndex(fs, clock, root, scope_, reading_, counts, &base->view(), stop, indexFolder());
    }
    if (stop && stop->load()) return false;
    if (bytes.empty()) return rebuild(fs, clock, root, counts, stop);
    return platform::makeFolders(indexFolder()) && platform::replaceFileWhole(file_, bytes);
}

std::string rebuildReason(IndexState state) {
    switch (state) {
        case IndexState::Ok: return "Index up to date";
        case IndexState::Missing: return "Index built";
        case IndexState::Damaged: return "Index damaged: built again";
        case IndexState::OtherVersion: return "Index of another version: built again";
        case IndexState::OtherUser: return "Index of another user: built again";
        case IndexState::OtherScope: return "Index of another encoding: built again";
    }
    return {};
}

}  // namespace vsr::engine::index
