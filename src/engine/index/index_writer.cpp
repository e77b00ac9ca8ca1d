#include "engine/index/index_writer.h"

#include "engine/index/index_reader.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace vsr::engine::index {
namespace {

void padTo8(std::string& out) {
    while (out.size() % 8) out.push_back('\0');
}

template <class T>
void putAt(std::string& out, std::size_t at, const T& value) {
    std::memcpy(out.data() + at, &value, sizeof value);
}

template <class T>
void putBack(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Seven bits to a byte, the lowest first; at most five bytes.
unsigned char* putVarint(unsigned char* p, std::uint32_t value) {
    while (value >= 0x80) {
        *p++ = static_cast<unsigned char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    *p++ = static_cast<unsigned char>(value);
    return p;
}

// Reads what putVarint wrote: the runs are the writer's own bytes, not checked again.
const unsigned char* getVarint(const unsigned char* p, std::uint32_t& value) {
    std::uint32_t v = *p & 0x7F;
    for (unsigned shift = 7; *p++ & 0x80; shift += 7) v |= static_cast<std::uint32_t>(*p & 0x7F) << shift;
    value = v;
    return p;
}

constexpr std::size_t kPieceBytes = 256u << 10;

// Sorts pairs of one first byte by the trigram's two other bytes (bits 32..47), keeping the
// order of the pairs of a trigram, in two passes of 8 bits through `room`; the sorted pairs
// end where they began.
void sortByGram(std::vector<std::uint64_t>& pairs, std::vector<std::uint64_t>& room) {
    constexpr std::size_t kBuckets = 256;
    room.resize(pairs.size());
    std::size_t low[kBuckets] = {}, high[kBuckets] = {};
    for (std::uint64_t v : pairs) {
        ++low[(v >> 32) & 0xFF];
        ++high[(v >> 40) & 0xFF];
    }
    std::uint64_t* from = pairs.data();
    std::uint64_t* to = room.data();
    for (unsigned shift = 32; shift <= 40; shift += 8) {
        std::size_t* at = shift == 32 ? low : high;
        std::size_t sum = 0;
        for (std::size_t b = 0; b < kBuckets; ++b) sum += std::exchange(at[b], sum);
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const std::uint64_t v = from[i];
            to[at[(v >> shift) & 0xFF]++] = v;
        }
        std::swap(from, to);
    }
}

}  // namespace

IndexWriter::IndexWriter(IndexScope scope, std::size_t pairsPerRun)
    : scope_(std::move(scope)), pairsPerRun_(pairsPerRun == 0 ? 1 : pairsPerRun), gramSeen_((1u << 24) / 64, 0) {}

IndexWriter::~IndexWriter() {
    if (sorter_.joinable()) sorter_.join();
}

void IndexWriter::record(std::string_view path, const FileIdentity& identity, std::uint32_t flags) {
    if (!records_.empty() && path <= lastPath_) throw std::logic_error("index paths out of order");
    lastPath_.assign(path);
    FileRecord record{};
    record.identity = identity;
    record.pathOffset = paths_.size();
    record.pathSize = static_cast<std::uint32_t>(path.size());
    record.flags = flags;
    records_.push_back(record);
    paths_.append(path);
}

void IndexWriter::setBase(const IndexView* base) {
    base_ = base;
    keptAs_.assign(base ? base->fileCount() : 0, kNotKept);
}

void IndexWriter::addKept(std::string_view path, std::uint32_t baseId) {
    const FileRecord old = base_->record(baseId);
    keptAs_[baseId] = static_cast<std::uint32_t>(records_.size());
    record(path, old.identity, old.flags);
}

void IndexWriter::add(std::string_view path, const FileIdentity& identity, std::uint32_t flags,
                      const std::vector<std::uint32_t>& grams) {
    const auto id = static_cast<std::uint32_t>(records_.size());
    record(path, identity, flags);
    if ((flags & kTextKnown) == 0) return;
    for (std::uint32_t g : grams) {
        pending_[(g >> 16) & 0xFF].push_back((std::uint64_t{g & 0xFFFFFF} << 32) | id);
        if (++pendingPairs_ >= pairsPerRun_) startRun();
    }
}

void IndexWriter::waitForRun() {
    if (sorter_.joinable()) sorter_.join();
    if (sortFailed_) std::rethrow_exception(std::exchange(sortFailed_, nullptr));
}

void IndexWriter::startRun() {
    waitForRun();
    if (pendingPairs_ == 0) return;
    pendingPairs_ = 0;
    sorting_.swap(pending_);
    sorter_ = std::thread([this] {
        try {
            makeRun(sorting_);
        } catch (...) {
            sortFailed_ = std::current_exception();
        }
    });
}

void IndexWriter::makeRun(Pairs& parts) {
    Run run;
    unsigned char* p = nullptr;
    unsigned char* end = nullptr;
    std::uint32_t previous = 0;
    std::size_t idBytes = 0;
    const auto closePiece = [&] {
        if (!run.pieces.empty()) run.pieces.back().resize(static_cast<std::size_t>(p - run.pieces.back().data()));
    };
    for (std::vector<std::uint64_t>& pairs : parts) {
        sortByGram(pairs, sorted_);
        for (std::size_t i = 0; i < pairs.size();) {
            const auto g = static_cast<std::uint32_t>(pairs[i] >> 32);
            std::size_t j = i + 1;
            while (j < pairs.size() && static_cast<std::uint32_t>(pairs[j] >> 32) == g) ++j;
            const std::size_t worst = 5 * (j - i + 2);
            if (static_cast<std::size_t>(end - p) < worst) {
                closePiece();
                run.pieces.emplace_back(std::max(kPieceBytes, worst));
                p = run.pieces.back().data();
                end = p + run.pieces.back().size();
            }
            gramSeen_[g >> 6] |= std::uint64_t{1} << (g & 63);
            p = putVarint(p, g - previous);
            previous = g;
            p = putVarint(p, static_cast<std::uint32_t>(j - i));
            const unsigned char* idsAt = p;
            std::uint32_t last = 0;
            for (; i < j; ++i) {
                const auto id = static_cast<std::uint32_t>(pairs[i]);
                p = putVarint(p, id - last);
                last = id;
            }
            idBytes += static_cast<std::size_t>(p - idsAt);
        }
        pairs.clear();
    }
    closePiece();
    runBytes_ += idBytes;
    putAside(run);
    runs_.push_back(std::move(run));
}

void IndexWriter::putAside(Run& run) {
    std::size_t bytes = 0;
    for (const std::vector<unsigned char>& piece : run.pieces) bytes += piece.size();
    if (spillFolder_.empty() || runBytesInMemory_ + bytes <= bytesInMemory_) {
        runBytesInMemory_ += bytes;
        return;
    }
    if (!spill_) spill_ = platform::ScratchFile::create(spillFolder_);
    if (!spill_) return spillFolder_.clear();
    std::vector<std::pair<std::uint64_t, std::size_t>> aside;
    for (const std::vector<unsigned char>& piece : run.pieces) {
        aside.emplace_back(spill_->size(), piece.size());
        // What can't be put aside stays in memory, all of this run with it.
        if (!spill_->append({reinterpret_cast<const char*>(piece.data()), piece.size()})) {
            runBytesInMemory_ += bytes;
            return;
        }
    }
    run.pieces.clear();
    run.aside = std::move(aside);
}

namespace {

// Reads a run trigram by trigram, giving each piece back once it has been read; a run put
// aside is read back a piece at a time.
class RunReader {
public:
    RunReader(std::deque<std::vector<unsigned char>>& pieces,
              const std::vector<std::pair<std::uint64_t, std::size_t>>& aside, const platform::ScratchFile* file)
        : pieces_(pieces), aside_(aside), file_(file) {
        next();
    }
    bool done() const { return done_; }
    bool failed() const { return failed_; }
    std::uint32_t gram() const { return gram_; }
    // Appends the files of the current trigram to `out` and moves to the next one.
    void take(std::vector<std::uint32_t>& out) {
        std::uint32_t id = 0;
        for (std::uint32_t k = 0; k < count_; ++k) {
            std::uint32_t step;
            p_ = getVarint(p_, step);
            id += step;
            out.push_back(id);
        }
        next();
    }

private:
    bool loadPiece() {
        if (!aside_.empty()) {
            if (piece_ == aside_.size()) return false;
            const auto [offset, size] = aside_[piece_++];
            buffer_.resize(size);
            if (!file_->readAt(offset, reinterpret_cast<char*>(buffer_.data()), size)) {
                failed_ = true;
                return false;
            }
            p_ = buffer_.data();
            end_ = p_ + size;
            return true;
        }
        if (piece_++ > 0) std::vector<unsigned char>().swap(pieces_.front()), pieces_.pop_front();
        if (pieces_.empty()) return false;
        p_ = pieces_.front().data();
        end_ = p_ + pieces_.front().size();
        return true;
    }
    void next() {
        while (p_ == end_) {
            if (!loadPiece()) {
                done_ = true;
                std::vector<unsigned char>().swap(buffer_);
                return;
            }
        }
        std::uint32_t step;
        p_ = getVarint(p_, step);
        gram_ += step;
        p_ = getVarint(p_, count_);
    }

    std::deque<std::vector<unsigned char>>& pieces_;
    const std::vector<std::pair<std::uint64_t, std::size_t>>& aside_;
    const platform::ScratchFile* file_;
    std::vector<unsigned char> buffer_;
    std::size_t piece_ = 0;
    const unsigned char* p_ = nullptr;
    const unsigned char* end_ = nullptr;
    std::uint32_t gram_ = 0, count_ = 0;
    bool done_ = false, failed_ = false;
};

// The trigrams of a bit table, ascending.
std::uint32_t nextGramFrom(const std::vector<std::uint64_t>& bits, std::uint32_t from) {
    constexpr std::uint32_t kEnd = 1u << 24;
    if (from >= kEnd) return kEnd;
    std::size_t w = from >> 6;
    std::uint64_t word = bits[w] & (~std::uint64_t{0} << (from & 63));
    while (word == 0) {
        if (++w == bits.size()) return kEnd;
        word = bits[w];
    }
    return static_cast<std::uint32_t>(w * 64 + static_cast<std::size_t>(std::countr_zero(word)));
}

}  // namespace

bool IndexWriter::writePostings(std::string& out, IndexHeader& h) {
    constexpr std::uint32_t kEnd = 0xFFFFFFFF;
    std::vector<RunReader> readers;
    readers.reserve(runs_.size());
    for (Run& run : runs_) readers.emplace_back(run.pieces, run.aside, spill_.get());
    // Without a base every trigram seen has a list: the table's size is known before the lists
    // are written, and they go straight after it. With one, a trigram may be left with no file.
    std::uint64_t known = 0;
    for (std::uint64_t w : gramSeen_) known += static_cast<std::uint64_t>(std::popcount(w));
    std::vector<GramEntry> entries;
    std::string baseLists;
    std::size_t entryAt = out.size();
    if (!base_) {
        out.resize(entryAt + known * sizeof(GramEntry));
        out.reserve(out.size() + runBytes_);
    } else {
        baseLists.reserve(runBytes_);
    }
    std::string& lists = base_ ? baseLists : out;
    const std::size_t listsAt = base_ ? 0 : out.size();
    std::vector<std::uint32_t> kept, fresh, merged;
    std::vector<unsigned char> bytes;
    const std::uint32_t baseGrams = base_ ? base_->gramCount() : 0;
    std::uint32_t i = 0;
    std::uint32_t nextFresh = nextGramFrom(gramSeen_, 0);
    for (;;) {
        const std::uint32_t fromBase = i < baseGrams ? base_->gramAt(i) : kEnd;
        const std::uint32_t fromRuns = nextFresh < (1u << 24) ? nextFresh : kEnd;
        const std::uint32_t g = std::min(fromBase, fromRuns);
        if (g == kEnd) break;
        kept.clear();
        if (fromBase == g) {
            if (base_->postingsAt(i++, kept) != IndexView::Postings::Ok) return false;
            std::size_t n = 0;
            for (std::uint32_t id : kept)
                if (keptAs_[id] != kNotKept) kept[n++] = keptAs_[id];
            kept.resize(n);
        }
        fresh.clear();
        if (fromRuns == g) {
            for (RunReader& r : readers)
                if (!r.done() && r.gram() == g) r.take(fresh);
            nextFresh = nextGramFrom(gramSeen_, g + 1);
        }
        // Kept and added files have numbers of their own: the two lists never share one.
        const std::vector<std::uint32_t>* files = &fresh;
        if (!kept.empty()) {
            merged.clear();
            std::merge(kept.begin(), kept.end(), fresh.begin(), fresh.end(), std::back_inserter(merged));
            files = &merged;
        }
        if (files->empty()) continue;
        bytes.resize(5 * files->size());
        unsigned char* p = bytes.data();
        std::uint32_t last = 0;
        for (std::uint32_t id : *files) p = putVarint(p, id - std::exchange(last, id));
        const std::size_t at = lists.size();
        lists.append(reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(p - bytes.data()));
        GramEntry e{};
        e.gram = g;
        e.count = static_cast<std::uint32_t>(files->size());
        e.offset = at - listsAt;
        e.size = static_cast<std::uint32_t>(lists.size() - at);
        e.hash = static_cast<std::uint32_t>(hashBytes(std::string_view(lists).substr(at)));
        if (base_) {
            entries.push_back(e);
        } else {
            putAt(out, entryAt, e);
            entryAt += sizeof e;
        }
    }
    for (const RunReader& r : readers)
        if (r.failed()) return false;
    if (base_) {
        h.gramCount = static_cast<std::uint32_t>(entries.size());
        out.reserve(out.size() + entries.size() * sizeof(GramEntry) + baseLists.size());
        for (const GramEntry& e : entries) putBack(out, e);
        h.postingsOffset = out.size();
        h.postingsSize = baseLists.size();
        out += baseLists;
    } else {
        h.gramCount = static_cast<std::uint32_t>(known);
        h.postingsOffset = listsAt;
        h.postingsSize = out.size() - listsAt;
    }
    return true;
}

std::string IndexWriter::finish() {
    startRun();
    waitForRun();
    pending_ = {};
    sorting_ = {};
    std::vector<std::uint64_t>().swap(sorted_);
    std::string out;
    out.reserve(sizeof(IndexHeader) + scope_.root.size() + paths_.size() + 16 + records_.size() * sizeof(FileRecord));
    out.resize(sizeof(IndexHeader), '\0');
    IndexHeader h{};
    std::memcpy(h.magic, kIndexMagic, sizeof h.magic);
    h.version = kIndexVersion;
    h.ownerUid = scope_.ownerUid;
    h.textEncoding = static_cast<std::uint32_t>(scope_.textEncoding);
    h.fallback = scope_.fallback ? static_cast<std::uint32_t>(*scope_.fallback) : kNoFallback;
    h.fileCount = static_cast<std::uint32_t>(records_.size());
    h.rootSize = scope_.root.size();
    out += scope_.root;
    padTo8(out);
    h.pathsOffset = out.size();
    h.pathsSize = paths_.size();
    out += paths_;
    std::string().swap(paths_);
    padTo8(out);
    h.filesOffset = out.size();
    for (const FileRecord& r : records_) putBack(out, r);
    h.gramsOffset = out.size();
    if (!writePostings(out, h)) return {};
    runs_.clear();
    h.tablesHash = hashBytes(std::string_view(out).substr(sizeof h, h.postingsOffset - sizeof h));
    h.headerHash = hashBytes(std::string_view(reinterpret_cast<const char*>(&h), offsetof(IndexHeader, headerHash)));
    putAt(out, 0, h);
    return out;
}

}  // namespace vsr::engine::index
