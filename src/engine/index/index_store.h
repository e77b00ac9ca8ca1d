#pragma once
#include <memory>
#include <optional>
#include <string>

#include "engine/index/index_build.h"
#include "engine/index/index_reader.h"

namespace vsr::engine::index {

// Where the index of a folder lives: one file per folder under the user's cache folder,
// "Vantix Search & Replace/index/", named by a hash of the folder's canonical name.
std::string indexFolder();
std::string indexFileFor(const std::string& canonicalRoot);

// The index of the folder a search walks as `root`, in the encoding `reading` says.
class IndexStore {
public:
    // Nothing when `root` names no folder.
    static std::optional<IndexStore> forRoot(const std::string& root, const TextReading& reading);

    const IndexScope& scope() const { return scope_; }
    const std::string& file() const { return file_; }
    // The index as it is on disk; `state` says why there is none.
    std::unique_ptr<IndexReader> open(IndexState& state) const;
    // Indexes the folder again and puts the new index in place of the old one in one step.
    // False when it could not be written (the search then goes on without it).
    // `stop` (if given) ends it early, writing nothing.
    bool rebuild(platform::FileSystem& fs, platform::Clock& clock, const std::string& root,
                 BuildCounts* counts = nullptr, const std::atomic<bool>* stop = nullptr) const;
    // Brings the index up to date: reads only the files that are new or changed since the index
    // on disk was made (all of them when there is none, or a damaged one) and puts the new index
    // in its place in one step. False when it could not be written.
    bool refresh(platform::FileSystem& fs, platform::Clock& clock, const std::string& root,
                 BuildCounts* counts = nullptr, const std::atomic<bool>* stop = nullptr) const;

private:
    IndexScope scope_;
    TextReading reading_;
    std::string file_;
};

// The status text of an index that was built again: why.
std::string rebuildReason(IndexState state);

}  // namespace vsr::engine::index
