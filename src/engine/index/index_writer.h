#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/index/index_format.h"
#include "platform/code_page.h"
#include "platform/scratch_file.h"

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
// The (trigram, file) pairs of the files added are gathered a few million at a time; each such
// batch is sorted by trigram on a thread of its own while the next one fills, and kept as a
// run: per trigram, its files delta-coded, seven bits to a byte, so a run takes about the room
// its part of the index will. finish() merges the runs, trigram by trigram in one pass,
// dropping each run's bytes as the merge goes past them.
class IndexWriter {
public:
    // `pairsPerRun`: the pairs gathered before they are sorted into a run.
    explicit IndexWriter(IndexScope scope, std::size_t pairsPerRun = kPairsPerRun);
    ~IndexWriter();
    IndexWriter(const IndexWriter&) = delete;
    IndexWriter& operator=(const IndexWriter&) = delete;
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

    // Runs beyond the first few are put aside in a scratch file in `folder`, so memory stays
    // bounded however large the tree (they stay in memory when no such file can be written).
    void spillTo(std::string folder, std::size_t bytesInMemory = kRunBytesInMemory) {
        spillFolder_ = std::move(folder);
        bytesInMemory_ = bytesInMemory;
    }

    // The index file's bytes; empty when a posting list of the base turned out damaged (the
    // index must then be built without it) or a run put aside could not be read back.
    std::string finish();

    // 1M pairs: 8 MB filling (up to twice that as its parts grow), as much again being sorted.
    static constexpr std::size_t kPairsPerRun = 1u << 20;
    // The bytes of runs kept in memory before the next ones are put aside.
    static constexpr std::size_t kRunBytesInMemory = 24u << 20;

private:
    static constexpr std::size_t kParts = 256;
    using Pairs = std::array<std::vector<std::uint64_t>, kParts>;
    // A run's bytes, in pieces of a quarter megabyte or so; no trigram's part is split between
    // two. The pieces are in memory, or in the scratch file at the places listed.
    struct Run {
        std::deque<std::vector<unsigned char>> pieces;
        std::vector<std::pair<std::uint64_t, std::size_t>> aside;
    };
    void putAside(Run& run);
    void record(std::string_view path, const FileIdentity& identity, std::uint32_t flags);
    // Hands the pairs gathered to the sorting thread, once it is done with the ones before.
    void startRun();
    void waitForRun();
    void makeRun(Pairs& parts);
    // The posting lists of the runs (and of the base's files kept), merged, after `out`'s tables.
    bool writePostings(std::string& out, IndexHeader& h);

    IndexScope scope_;
    std::size_t pairsPerRun_;
    std::string paths_;
    std::vector<FileRecord> records_;
    std::string lastPath_;
    // The pairs gathered, by the first byte of their trigram: trigram in the high half, file
    // number in the low one, in the order the files came. Each part is then sorted by the two
    // other bytes in the processor's cache.
    Pairs pending_;
    std::size_t pendingPairs_ = 0;
    // Owned by the sorting thread while it runs.
    Pairs sorting_;
    std::vector<std::uint64_t> sorted_;
    std::vector<Run> runs_;
    std::vector<std::uint64_t> gramSeen_;  // a bit per trigram found in some run
    std::size_t runBytes_ = 0;
    std::size_t runBytesInMemory_ = 0, bytesInMemory_ = 0;
    std::string spillFolder_;
    std::unique_ptr<platform::ScratchFile> spill_;
    std::thread sorter_;
    std::exception_ptr sortFailed_;
    const IndexView* base_ = nullptr;
    static constexpr std::uint32_t kNotKept = 0xFFFFFFFF;
    std::vector<std::uint32_t> keptAs_;  // the new number of each file of the base, or kNotKept
};

}  // namespace vsr::engine::index
