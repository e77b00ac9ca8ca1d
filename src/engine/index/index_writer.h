#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/index/index_format.h"
#include "platform/code_page.h"

namespace vsr::engine::index {

// What an index is of: the canonical root, the encoding its texts were read and folded in,
// and the user it belongs to.
struct IndexScope {
    std::string root;
    platform::CodePageId textEncoding = platform::CodePageId::Utf8;
    std::optional<platform::CodePageId> fallback;
    std::uint32_t ownerUid = 0;
};

class IndexView;

// Gathers the files of an index, in ascending order of their paths, and lays the index out.
// The (trigram, file) pairs of the files added are gathered a few million at a time, sorted by
// trigram and only then appended to the posting lists, a trigram's run in one go: each list is
// touched once per batch instead of once per file. The lists grow in small blocks, so memory
// follows the compressed size of the index, not the number of trigram occurrences.
class IndexWriter {
public:
    explicit IndexWriter(IndexScope scope);
    // `path` relative to the root, above every path added before; `grams` distinct, in any
    // order (ignored unless `flags` has kTextKnown).
    void add(std::string_view path, const FileIdentity& identity, std::uint32_t flags,
             const std::vector<std::uint32_t>& grams);
    std::size_t files() const { return records_.size(); }

    // Takes files over from an earlier index of the same scope, `base` (it must outlive the
    // writer): a file kept is recorded as the base recorded it, and its places in the base's
    // posting lists are carried into the new lists, so its text is not read again. Given
    // before any file is added.
    void setBase(const IndexView* base);
    // Records file `baseId` of the base under `path` (its path there), above every path added
    // before.
    void addKept(std::string_view path, std::uint32_t baseId);

    // The index file's bytes; empty when a posting list of the base turned out damaged (the
    // index must then be built without it).
    std::string finish();

private:
    struct Slot {
        std::uint32_t last = 0;
        std::uint32_t count = 0;
        std::uint32_t head = 0;
        std::uint32_t tail = 0;
        std::uint32_t used = 0;  // bytes in the tail block
        std::uint32_t size = 0;
    };
    static constexpr std::uint32_t kBlockBytes = 32;
    static constexpr std::uint32_t kBlockData = kBlockBytes - 4;
    static constexpr std::uint32_t kBlocksPerChunk = 1u << 15;
    // Pairs gathered before they go to the lists: 32 MB, and as much again to sort them.
    static constexpr std::size_t kPendingPairs = 4u << 20;
    std::uint32_t newBlock();
    void flushPending();
    void record(std::string_view path, const FileIdentity& identity, std::uint32_t flags);
    // The files of `slot`, ascending, into `out`.
    void slotFiles(const Slot& slot, std::vector<std::uint32_t>& out);
    // The posting lists of the base and of the files added, merged, after `out`'s tables.
    bool mergeWithBase(const std::vector<std::uint32_t>& order, std::string& out, IndexHeader& h);
    unsigned char* block(std::uint32_t b);
    void append(Slot& slot, std::uint32_t value);

    IndexScope scope_;
    std::string paths_;
    std::vector<FileRecord> records_;
    std::string lastPath_;
    struct Free {
        void operator()(std::uint32_t* p) const;
    };
    // Trigram -> slot + 1, 0 when none: one place for every possible trigram, of which the
    // system gives memory only to the pages written.
    std::unique_ptr<std::uint32_t, Free> slotOf_;
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> grams_;  // the trigrams seen, in the order of their slots
    std::deque<std::vector<unsigned char>> chunks_;
    // Trigram in the high half, file number in the low one, in the order the files came.
    std::vector<std::uint64_t> pending_, sorted_;
    const IndexView* base_ = nullptr;
    static constexpr std::uint32_t kNotKept = 0xFFFFFFFF;
    std::vector<std::uint32_t> keptAs_;  // the new number of each file of the base, or kNotKept
    std::uint32_t blocks_ = 1;  // block 0 is "none"
};

}  // namespace vsr::engine::index
