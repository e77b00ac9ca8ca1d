#include "engine/index/index_writer.h"

#include "engine/index/index_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <iterator>
#include <new>
#include <cstring>
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

}  // namespace

void IndexWriter::Free::operator()(std::uint32_t* p) const { std::free(p); }

IndexWriter::IndexWriter(IndexScope scope)
    : scope_(std::move(scope)), slotOf_(static_cast<std::uint32_t*>(std::calloc(1u << 24, sizeof(std::uint32_t)))) {
    if (!slotOf_) throw std::bad_alloc();
}

std::uint32_t IndexWriter::newBlock() {
    const std::uint32_t b = blocks_++;
    if (b / kBlocksPerChunk >= chunks_.size()) chunks_.emplace_back(std::size_t{kBlocksPerChunk} * kBlockBytes, 0);
    std::memset(block(b), 0, kBlockBytes);
    return b;
}

unsigned char* IndexWriter::block(std::uint32_t b) {
    return chunks_[b / kBlocksPerChunk].data() + std::size_t{b % kBlocksPerChunk} * kBlockBytes;
}

void IndexWriter::append(Slot& slot, std::uint32_t value) {
    unsigned char bytes[5];
    std::uint32_t n = 0;
    while (value >= 0x80) {
        bytes[n++] = static_cast<unsigned char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    bytes[n++] = static_cast<unsigned char>(value);
    for (std::uint32_t i = 0; i < n; ++i) {
        if (slot.tail == 0 || slot.used == kBlockData) {
            const std::uint32_t b = newBlock();
            if (slot.tail == 0) slot.head = b;
            else std::memcpy(block(slot.tail) + kBlockData, &b, 4);
            slot.tail = b;
            slot.used = 0;
        }
        block(slot.tail)[slot.used++] = bytes[i];
    }
    slot.size += n;
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
    if (pending_.capacity() == 0) pending_.reserve(kPendingPairs);
    for (std::uint32_t g : grams) pending_.push_back((std::uint64_t{g & 0xFFFFFF} << 32) | id);
    if (pending_.size() >= kPendingPairs) flushPending();
}

void IndexWriter::flushPending() {
    if (pending_.empty()) return;
    // Stable by trigram, in two passes of 12 bits: the files of a trigram stay ascending.
    sorted_.resize(pending_.size());
    constexpr unsigned kBits = 12;
    constexpr std::size_t kBuckets = std::size_t{1} << kBits;
    std::vector<std::size_t> low(kBuckets, 0), high(kBuckets, 0);
    for (std::uint64_t v : pending_) {
        ++low[(v >> 32) & (kBuckets - 1)];
        ++high[(v >> 44) & (kBuckets - 1)];
    }
    std::vector<std::uint64_t>* from = &pending_;
    std::vector<std::uint64_t>* to = &sorted_;
    for (unsigned shift = 32; shift < 56; shift += kBits) {
        std::vector<std::size_t>& at = shift == 32 ? low : high;
        std::size_t sum = 0;
        for (std::size_t& a : at) sum += std::exchange(a, sum);
        std::uint64_t* out = to->data();
        for (std::uint64_t v : *from) out[at[(v >> shift) & (kBuckets - 1)]++] = v;
        std::swap(from, to);
    }
    // Two passes leave the sorted pairs where they began.
    const std::vector<std::uint64_t>& pairs = *from;
    std::uint32_t* table = slotOf_.get();
    for (std::size_t i = 0; i < pairs.size();) {
        const auto g = static_cast<std::uint32_t>(pairs[i] >> 32);
        std::uint32_t& s = table[g];
        if (s == 0) {
            grams_.push_back(g);
            slots_.emplace_back();
            s = static_cast<std::uint32_t>(slots_.size());
        }
        Slot& slot = slots_[s - 1];
        for (; i < pairs.size() && (pairs[i] >> 32) == g; ++i) {
            const auto id = static_cast<std::uint32_t>(pairs[i]);
            append(slot, slot.count == 0 ? id : id - slot.last);
            slot.last = id;
            ++slot.count;
        }
    }
    pending_.clear();
}

std::string IndexWriter::finish() {
    flushPending();
    std::vector<std::uint64_t>().swap(pending_);
    std::vector<std::uint64_t>().swap(sorted_);
    std::string out;
    {
        // The whole file at once, not grown piece by piece (each growth a copy into fresh pages).
        std::size_t postings = 0;
        for (const Slot& slot : slots_) postings += slot.size;
        out.reserve(sizeof(IndexHeader) + scope_.root.size() + paths_.size() + 16 + records_.size() * sizeof(FileRecord) +
                    (base_ ? 0 : slots_.size() * sizeof(GramEntry) + postings));
    }
    out.resize(sizeof(IndexHeader), '\0');
    IndexHeader h{};
    std::memcpy(h.magic, kIndexMagic, sizeof h.magic);
    h.version = kIndexVersion;
    h.ownerUid = scope_.ownerUid;
    h.textEncoding = static_cast<std::uint32_t>(scope_.textEncoding);
    h.fallback = scope_.fallback ? static_cast<std::uint32_t>(*scope_.fallback) : kNoFallback;
    h.fileCount = static_cast<std::uint32_t>(records_.size());
    h.gramCount = static_cast<std::uint32_t>(slots_.size());
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
    std::vector<std::uint32_t> order = grams_;
    std::sort(order.begin(), order.end());
    if (base_) {
        if (!mergeWithBase(order, out, h)) return {};
        h.tablesHash = hashBytes(std::string_view(out).substr(sizeof h, h.postingsOffset - sizeof h));
        h.headerHash = hashBytes(std::string_view(reinterpret_cast<const char*>(&h), offsetof(IndexHeader, headerHash)));
        putAt(out, 0, h);
        return out;
    }
    std::size_t postingsSize = 0;
    for (const Slot& s : slots_) postingsSize += s.size;
    const std::size_t entriesAt = out.size();
    out.resize(entriesAt + slots_.size() * sizeof(GramEntry));
    h.postingsOffset = out.size();
    h.postingsSize = postingsSize;
    out.reserve(out.size() + postingsSize);
    std::size_t entry = entriesAt;
    for (std::uint32_t g : order) {
        const Slot& s = slots_[slotOf_.get()[g] - 1];
        const std::size_t at = out.size();
        std::uint32_t left = s.size;
        for (std::uint32_t b = s.head; left > 0;) {
            const std::uint32_t n = left < kBlockData ? left : kBlockData;
            out.append(reinterpret_cast<const char*>(block(b)), n);
            left -= n;
            std::memcpy(&b, block(b) + kBlockData, 4);
        }
        GramEntry e{};
        e.gram = g;
        e.count = s.count;
        e.offset = at - h.postingsOffset;
        e.size = s.size;
        e.hash = static_cast<std::uint32_t>(hashBytes(std::string_view(out).substr(at, s.size)));
        putAt(out, entry, e);
        entry += sizeof e;
    }
    h.tablesHash = hashBytes(std::string_view(out).substr(sizeof h, h.postingsOffset - sizeof h));
    h.headerHash = hashBytes(std::string_view(reinterpret_cast<const char*>(&h), offsetof(IndexHeader, headerHash)));
    putAt(out, 0, h);
    return out;
}

void IndexWriter::slotFiles(const Slot& slot, std::vector<std::uint32_t>& out) {
    out.clear();
    std::string bytes;
    bytes.reserve(slot.size);
    std::uint32_t left = slot.size;
    for (std::uint32_t b = slot.head; left > 0;) {
        const std::uint32_t n = left < kBlockData ? left : kBlockData;
        bytes.append(reinterpret_cast<const char*>(block(b)), n);
        left -= n;
        std::memcpy(&b, block(b) + kBlockData, 4);
    }
    std::size_t pos = 0;
    std::uint32_t id = 0;
    for (std::uint32_t k = 0; k < slot.count; ++k) {
        std::uint32_t step = 0;
        readVarint(bytes, pos, step);
        id = k == 0 ? step : id + step;
        out.push_back(id);
    }
}

bool IndexWriter::mergeWithBase(const std::vector<std::uint32_t>& order, std::string& out, IndexHeader& h) {
    std::vector<GramEntry> entries;
    std::string lists;
    std::vector<std::uint32_t> kept, fresh, merged;
    const std::uint32_t baseGrams = base_->gramCount();
    constexpr std::uint32_t kEnd = 0xFFFFFFFF;
    std::uint32_t i = 0;
    std::size_t j = 0;
    while (i < baseGrams || j < order.size()) {
        const std::uint32_t fromBase = i < baseGrams ? base_->gramAt(i) : kEnd;
        const std::uint32_t fromAdded = j < order.size() ? order[j] : kEnd;
        const std::uint32_t g = std::min(fromBase, fromAdded);
        kept.clear();
        if (fromBase == g) {
            if (base_->postingsAt(i++, kept) != IndexView::Postings::Ok) return false;
            std::size_t n = 0;
            for (std::uint32_t id : kept)
                if (keptAs_[id] != kNotKept) kept[n++] = keptAs_[id];
            kept.resize(n);
        }
        fresh.clear();
        if (fromAdded == g) slotFiles(slots_[slotOf_.get()[order[j++]] - 1], fresh);
        // Kept and added files have numbers of their own: the two lists never share one.
        merged.clear();
        std::merge(kept.begin(), kept.end(), fresh.begin(), fresh.end(), std::back_inserter(merged));
        if (merged.empty()) continue;
        const std::size_t at = lists.size();
        for (std::size_t k = 0; k < merged.size(); ++k) appendVarint(lists, k == 0 ? merged[0] : merged[k] - merged[k - 1]);
        GramEntry e{};
        e.gram = g;
        e.count = static_cast<std::uint32_t>(merged.size());
        e.offset = at;
        e.size = static_cast<std::uint32_t>(lists.size() - at);
        e.hash = static_cast<std::uint32_t>(hashBytes(std::string_view(lists).substr(at)));
        entries.push_back(e);
    }
    h.gramCount = static_cast<std::uint32_t>(entries.size());
    for (const GramEntry& e : entries) putBack(out, e);
    std::vector<GramEntry>().swap(entries);
    h.postingsOffset = out.size();
    h.postingsSize = lists.size();
    out += lists;
    return true;
}

}  // namespace vsr::engine::index
