#include "engine/index/index_reader.h"

#include <cstddef>
#include <cstring>

namespace vsr::engine::index {
namespace {

template <class T>
T readAt(std::string_view bytes, std::uint64_t at) {
    T value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

// Whether [offset, offset + size) lies within `total` bytes, without overflowing.
bool within(std::uint64_t offset, std::uint64_t size, std::uint64_t total) {
    return offset <= total && size <= total - offset;
}

}  // namespace

IndexState IndexView::parse(std::string_view bytes, const IndexScope* expected) {
    bytes_ = {};
    header_ = {};
    if (bytes.size() < sizeof(IndexHeader)) return IndexState::Damaged;
    const IndexHeader h = readAt<IndexHeader>(bytes, 0);
    if (std::memcmp(h.magic, kIndexMagic, sizeof h.magic) != 0) return IndexState::Damaged;
    if (h.headerHash != hashBytes(bytes.substr(0, offsetof(IndexHeader, headerHash)))) return IndexState::Damaged;
    if (h.version != kIndexVersion) return IndexState::OtherVersion;
    const std::uint64_t total = bytes.size();
    if (!within(sizeof h, h.rootSize, total) || h.pathsOffset < sizeof h + h.rootSize ||
        !within(h.pathsOffset, h.pathsSize, total) || h.filesOffset < h.pathsOffset + h.pathsSize ||
        !within(h.filesOffset, std::uint64_t{h.fileCount} * sizeof(FileRecord), total) ||
        h.gramsOffset != h.filesOffset + std::uint64_t{h.fileCount} * sizeof(FileRecord) ||
        h.postingsOffset != h.gramsOffset + std::uint64_t{h.gramCount} * sizeof(GramEntry) ||
        !within(h.postingsOffset, h.postingsSize, total) || h.postingsOffset + h.postingsSize != total)
        return IndexState::Damaged;
    if (h.tablesHash != hashBytes(bytes.substr(sizeof h, h.postingsOffset - sizeof h))) return IndexState::Damaged;
    if (h.textEncoding > static_cast<std::uint32_t>(platform::CodePageId::Utf8) ||
        (h.fallback != kNoFallback && h.fallback > static_cast<std::uint32_t>(platform::CodePageId::Utf8)))
        return IndexState::Damaged;
    bytes_ = bytes;
    header_ = h;
    // The order binary searches rely on, and every path within its part.
    std::string_view previous;
    for (std::uint32_t i = 0; i < h.fileCount; ++i) {
        const FileRecord r = record(i);
        if (!within(r.pathOffset, r.pathSize, h.pathsSize)) return bytes_ = {}, IndexState::Damaged;
        const std::string_view p = path(i);
        if (i > 0 && p <= previous) return bytes_ = {}, IndexState::Damaged;
        previous = p;
    }
    for (std::uint32_t i = 0; i < h.gramCount; ++i) {
        const GramEntry e = gramEntry(i);
        if ((i > 0 && e.gram <= gramEntry(i - 1).gram) || e.gram > 0xFFFFFF || !within(e.offset, e.size, h.postingsSize) ||
            e.count > h.fileCount)
            return bytes_ = {}, IndexState::Damaged;
    }
    if (expected) {
        const IndexScope s = scope();
        if (s.ownerUid != expected->ownerUid) return bytes_ = {}, IndexState::OtherUser;
        if (s.root != expected->root || s.textEncoding != expected->textEncoding || s.fallback != expected->fallback)
            return bytes_ = {}, IndexState::OtherScope;
    }
    return IndexState::Ok;
}

IndexScope IndexView::scope() const {
    IndexScope s;
    s.root.assign(bytes_.substr(sizeof(IndexHeader), header_.rootSize));
    s.textEncoding = static_cast<platform::CodePageId>(header_.textEncoding);
    if (header_.fallback != kNoFallback) s.fallback = static_cast<platform::CodePageId>(header_.fallback);
    s.ownerUid = header_.ownerUid;
    return s;
}

FileRecord IndexView::record(std::uint32_t id) const {
    return readAt<FileRecord>(bytes_, header_.filesOffset + std::uint64_t{id} * sizeof(FileRecord));
}

std::string_view IndexView::path(std::uint32_t id) const {
    const FileRecord r = record(id);
    return bytes_.substr(header_.pathsOffset + r.pathOffset, r.pathSize);
}

GramEntry IndexView::gramEntry(std::uint32_t i) const {
    return readAt<GramEntry>(bytes_, header_.gramsOffset + std::uint64_t{i} * sizeof(GramEntry));
}

std::optional<std::uint32_t> IndexView::find(std::string_view p) const {
    std::uint32_t lo = 0, hi = header_.fileCount;
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        const std::string_view m = path(mid);
        if (m == p) return mid;
        if (m < p) lo = mid + 1;
        else hi = mid;
    }
    return std::nullopt;
}

IndexView::Postings IndexView::postings(std::uint32_t gram, std::vector<std::uint32_t>& out) const {
    out.clear();
    std::uint32_t lo = 0, hi = header_.gramCount;
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        if (gramEntry(mid).gram < gram) lo = mid + 1;
        else hi = mid;
    }
    if (lo == header_.gramCount || gramEntry(lo).gram != gram) return Postings::Ok;
    return postingsAt(lo, out);
}

IndexView::Postings IndexView::postingsAt(std::uint32_t i, std::vector<std::uint32_t>& out) const {
    out.clear();
    const GramEntry e = gramEntry(i);
    const std::string_view list = bytes_.substr(header_.postingsOffset + e.offset, e.size);
    if (static_cast<std::uint32_t>(hashBytes(list)) != e.hash) return Postings::Damaged;
    out.reserve(e.count);
    std::size_t pos = 0;
    std::uint64_t id = 0;
    for (std::uint32_t k = 0; k < e.count; ++k) {
        std::uint32_t step;
        if (!readVarint(list, pos, step) || (k > 0 && step == 0)) return out.clear(), Postings::Damaged;
        id = k == 0 ? step : id + step;
        if (id >= header_.fileCount) return out.clear(), Postings::Damaged;
        out.push_back(static_cast<std::uint32_t>(id));
    }
    if (pos != list.size() || e.count == 0) return out.clear(), Postings::Damaged;
    return Postings::Ok;
}

std::unique_ptr<IndexReader> IndexReader::open(const std::string& file, const IndexScope& expected, IndexState& state) {
    auto reader = std::unique_ptr<IndexReader>(new IndexReader);
    reader->file_ = platform::MappedFile::open(file);
    if (!reader->file_) {
        state = IndexState::Missing;
        return nullptr;
    }
    if (reader->file_->ownerUid() != expected.ownerUid) {
        state = IndexState::OtherUser;
        return nullptr;
    }
    state = reader->view_.parse(reader->file_->bytes(), &expected);
    if (state != IndexState::Ok) return nullptr;
    return reader;
}

}  // namespace vsr::engine::index
