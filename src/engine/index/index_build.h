#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "engine/decode/file_text.h"
#include "engine/index/index_reader.h"
#include "engine/index/index_writer.h"
#include "platform/clock.h"
#include "platform/file_system.h"

namespace vsr::engine::index {

// Files larger than this are recorded but never passed over: reading one whole to index it
// would take more memory than an index build may.
inline constexpr std::uint64_t kLargestIndexedFile = 64ull << 20;
// A file changed this shortly before it was read may change again within the same tick of the
// file system's clock, unseen by its times: it is never passed over until indexed again later.
inline constexpr std::int64_t kSettleNs = 1'000'000'000;

struct BuildCounts {
    std::uint64_t files = 0;      // recorded
    std::uint64_t known = 0;      // with their text's trigrams, so they may be passed over
    std::uint64_t textBytes = 0;  // bytes of the files read for their text
    std::uint64_t kept = 0;       // taken over from the earlier index without being read
};

// The identity a record keeps of a file.
FileIdentity identityOf(const platform::FileInfo& info);

// Indexes every regular file below `root` (as a search walks it: links to files followed,
// links to folders not) in the encoding `reading` says, and returns the index file's bytes.
// Files are read in the order of their paths; their texts are those a search would see.
// With `base`, an earlier index of the same folder and scope, a file that is still exactly the
// one the base recorded (and was not settling then) is taken over without being read: only
// new and changed files are read. Empty when a posting list of the base turned out damaged,
// or when `stop` (if given) was set meanwhile: the build then ends within a batch of files.
// With `asideFolder`, the sorted runs of a large tree are put aside in a scratch file there.
std::string buildIndex(platform::FileSystem& fs, platform::Clock& clock, const std::string& root,
                       const IndexScope& scope, const TextReading& reading, BuildCounts* counts = nullptr,
                       const IndexView* base = nullptr, const std::atomic<bool>* stop = nullptr,
                       const std::string& asideFolder = {});

}  // namespace vsr::engine::index
