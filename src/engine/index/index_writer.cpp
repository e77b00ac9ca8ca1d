#include "engine/index/index_writer.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <cstring>
#include <stdexcept>

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

void IndexWriter::add(std::string_view path, const FileIdentity& identity, std::uint32_t flags,
                      const std::vector<std::uint32_t>& grams) {
    if (!records_.empty() && path <= lastPath_) throw std::logic_error("index paths out of order");
    lastPath_.assign(path);
    const auto id = static_cast<std::uint32_t>(records_.size());
    FileRecord record{};
    record.identity = identity;
    record.pathOffset = paths_.size();
    record.pathSize = static_cast<std::uint32_t>(path.size());
    record.flags = flags;
    records_.push_back(record);
    paths_.append(path);
    if ((flags & kTextKnown) == 0) return;
    // The trigrams of a file are spread over the whole table: the places a few trigrams ahead
    // are asked of memory while this one's is used.
    constexpr std::size_t kAhead = 8;
    std::uint32_t* table = slotOf_.get();
    for (std::size_t i = 0; i < grams.size() && i < kAhead; ++i) __builtin_prefetch(table + (grams[i] & 0xFFFFFF));
    for (std::size_t i = 0; i < grams.size(); ++i) {
        const std::uint32_t g = grams[i];
        if (i + kAhead < grams.size()) __builtin_prefetch(table + (grams[i + kAhead] & 0xFFFFFF));
        std::uint32_t& s = table[g & 0xFFFFFF];
        if (s == 0) {
            grams_.push_back(g & 0xFFFFFF);
            slots_.emplace_back();
            s = static_cast<std::uint32_t>(slots_.size());
        }
        Slot& slot = slots_[s - 1];
        append(slot, slot.count == 0 ? id : id - slot.last);
        slot.last = id;
        ++slot.count;
    }
}

std::string IndexWriter::finish() {
    std::string out(sizeof(IndexHeader), '\0');
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
    std::size_t postingsSize = 0;
    for (const Slot& s : slots_) postingsSize += s.size;
    const std::size_t entriesAt = out.size();
    out.resize(entriesAt + slots_.size() * sizeof(GramEntry));
    h.postingsOffset = out.size();
    h.postingsSize = postingsSize;
    out.reserve(out.size() + postingsSize);
    std::size_t entry = entriesAt;
    std::vector<std::uint32_t> order = grams_;
    std::sort(order.begin(), order.end());
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

}  // namespace vsr::engine::index
