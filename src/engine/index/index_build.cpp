#include "engine/index/index_build.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <cstring>
#include <utility>
#include <vector>

#include "engine/decode/utf8_check.h"
#include "engine/index/index_text.h"

namespace vsr::engine::index {
namespace {

std::int64_t nanosOf(platform::FileTime t) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

struct Listed {
    std::string relative;
    std::string full;
    // The folder's handle, while the file is not read yet: it is opened by its name alone.
    platform::FolderRef folder;
};

void listBelow(platform::FileSystem& fs, const std::string& dir, const std::string& relative,
               std::vector<platform::DirEntry>& entries, const platform::FolderRef& folder, std::vector<Listed>& out,
               const std::function<bool()>& stopped) {
    if (stopped()) return;
    std::vector<std::pair<std::string, std::string>> subfolders;
    for (const platform::DirEntry& e : entries) {
        std::string full = dir == "/" ? "/" + e.name : dir + "/" + e.name;
        std::string rel = relative.empty() ? e.name : relative + "/" + e.name;
        if (e.kind == platform::EntryKind::File) out.push_back({std::move(rel), std::move(full), folder});
        else if (e.kind == platform::EntryKind::Directory) subfolders.emplace_back(std::move(full), std::move(rel));
    }
    for (auto& [full, rel] : subfolders) {
        std::vector<platform::DirEntry> sub;
        platform::FolderRef subFolder;
        const std::string name = platform::fileNamePart(full);
        const platform::FileRef ref{full, full.size() - name.size(), folder.get()};
        if (fs.listSubfolder(ref, sub, subFolder)) listBelow(fs, full, rel, sub, subFolder, out, stopped);
    }
}

}  // namespace

FileIdentity identityOf(const platform::FileInfo& info) {
    return {info.device, info.inode, info.size, nanosOf(info.lastWrite), nanosOf(info.statusChange)};
}

namespace {

// One file as the index records it.
struct Indexed {
    bool recorded = false;
    std::optional<std::uint32_t> kept;  // the number of the base's record taken over
    FileIdentity identity;
    std::uint32_t flags = 0;
    std::vector<std::uint32_t> grams;
    std::uint64_t textBytes = 0;
};

// The trigram lists of files the writer took, handed back to the reading threads: a list
// reused keeps its memory, where a new one would get fresh pages from the system (each zeroed
// as it is first touched) for every large file.
class GramLists {
public:
    std::vector<std::uint32_t> take() {
        std::lock_guard lock(mutex_);
        if (free_.empty()) return {};
        std::vector<std::uint32_t> list = std::move(free_.back());
        free_.pop_back();
        return list;
    }
    void give(std::vector<std::uint32_t>&& list) {
        if (list.capacity() > kLargest) return;
        list.clear();
        std::lock_guard lock(mutex_);
        if (free_.size() < kKept) free_.push_back(std::move(list));
    }

private:
    static constexpr std::size_t kLargest = 1u << 16;  // trigrams (256 KB)
    static constexpr std::size_t kKept = 256;
    std::mutex mutex_;
    std::vector<std::vector<std::uint32_t>> free_;
};

// What one thread of a build keeps from file to file.
struct BuildScratch {
    GramLists* lists = nullptr;
    GramCollector collector;
    platform::FileBuffer buffer;
    std::string decoded, folded;
};

// Reads the file whole, with the identity of what was read: the file system fills it from the
// opened file where it can (one open, one fstat and the reads); else it is looked up by name
// before the read. A change during the read gives the file a newer change time than the one
// kept, which is at least kSettleNs old for a file whose text is kept: the next search then
// sees another identity and searches the file.
bool readWithIdentity(platform::FileSystem& fs, Listed& file, BuildScratch& scratch, platform::FileInfo& info,
                      platform::ReadStatus& status) {
    const std::string name = platform::fileNamePart(file.full);
    const platform::FileRef ref{file.full, file.full.size() - name.size(), file.folder.get()};
    platform::DirEntry entry;
    entry.name = name;
    platform::ReadRequest request;
    request.maxSize = kLargestIndexedFile;
    request.entry = &entry;
    status = fs.readListed(ref, scratch.buffer, request);
    if (entry.infoLoaded) {
        info = entry.info;
        return true;
    }
    if (!fs.statAt(ref, info)) return false;
    status = info.kind == platform::EntryKind::File && info.size <= kLargestIndexedFile
                 ? fs.readFileAt(ref, scratch.buffer, kLargestIndexedFile)
                 : platform::ReadStatus::TooLarge;
    return true;
}

// Whether the base's record of `file` still holds: the file is the one it read.
std::optional<std::uint32_t> keptFromBase(platform::FileSystem& fs, const IndexView& base, const Listed& file) {
    const std::optional<std::uint32_t> id = base.find(file.relative);
    if (!id) return std::nullopt;
    const FileRecord record = base.record(*id);
    if (record.flags & kSettling) return std::nullopt;
    const std::string name = platform::fileNamePart(file.full);
    platform::FileInfo info;
    if (!fs.statAt(platform::FileRef{file.full, file.full.size() - name.size(), file.folder.get()}, info) ||
        info.kind != platform::EntryKind::File || identityOf(info) != record.identity)
        return std::nullopt;
    return id;
}

Indexed indexFile(platform::FileSystem& fs, platform::Clock& clock, Listed& file, const TextReading& reading,
                  const IndexView* base, BuildScratch& scratch) {
    Indexed out;
    if (base && (out.kept = keptFromBase(fs, *base, file))) {
        out.recorded = true;
        file.folder.reset();
        return out;
    }
    platform::FileInfo before;
    platform::ReadStatus status = platform::ReadStatus::Failed;
    const bool found = readWithIdentity(fs, file, scratch, before, status);
    file.folder.reset();
    if (!found || before.kind != platform::EntryKind::File) return out;
    out.recorded = true;
    out.identity = identityOf(before);
    const std::int64_t settled = nanosOf(clock.now()) - kSettleNs;
    const bool quiet = out.identity.modifiedNs < settled && out.identity.changedNs < settled;
    if (!quiet) out.flags |= kSettling;
    if (!quiet || before.size > kLargestIndexedFile || status != platform::ReadStatus::Ok) return out;
    const std::string_view bytes = scratch.buffer.view();
    out.textBytes = bytes.size();
    // The whole of the file whose identity is kept.
    if (bytes.size() != out.identity.size) return out;
    // The text a search sees ends at a NUL byte, and what it is decoded as may then differ:
    // such a file is always searched.
    if (std::memchr(bytes.data(), 0, bytes.size()) != nullptr) return out;
    const FileText text = readFileText(bytes, reading, scratch.decoded);
    if (text.kind != TextKind::Bytes && text.kind != TextKind::Encoded) return out;
    const platform::CodePage& page = platform::CodePage::get(reading.textEncoding);
    if (page.isUtf8() && !isUtf8Text(text.text)) return out;
    foldForIndex(page, text.text, scratch.folded);
    if (scratch.lists) out.grams = scratch.lists->take();
    scratch.collector.collect(scratch.folded, out.grams);
    out.flags |= kTextKnown;
    // A large file's buffer goes back rather than staying with the thread.
    if (scratch.buffer.capacity() > (8u << 20)) scratch.buffer.release();
    return out;
}

// Reads and folds files on several threads, in batches handed out in path order, and gives
// the batches back in that order; threads stay a few batches ahead at most.
class BatchedReads {
public:
    static constexpr std::size_t kBatch = 64;

    BatchedReads(std::size_t files, const std::function<Indexed(std::size_t, BuildScratch&)>& work)
        : files_(files), batches_((files + kBatch - 1) / kBatch), work_(work), done_(batches_) {
        unsigned n = std::thread::hardware_concurrency();
        n = n == 0 ? 1 : (n > 4 ? 4 : n);
        ahead_ = 3 * n;
        for (unsigned i = 0; i < n; ++i) threads_.emplace_back([this] { run(); });
    }
    ~BatchedReads() {
        {
            std::lock_guard lock(mutex_);
            taken_ = batches_;
            consumed_ = batches_;
        }
        wake_.notify_all();
        for (std::thread& t : threads_) t.join();
    }
    std::size_t batches() const { return batches_; }
    // The files of batch `b`, waiting for them; the batch is then the caller's.
    std::vector<Indexed> take(std::size_t b) {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return done_[b].ready; });
        consumed_ = b + 1;
        wake_.notify_all();
        return std::move(done_[b].files);
    }

private:
    struct Batch {
        bool ready = false;
        std::vector<Indexed> files;
    };
    void run() {
        BuildScratch scratch;
        for (;;) {
            std::size_t b;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return taken_ >= batches_ || taken_ < consumed_ + ahead_; });
                if (taken_ >= batches_) return;
                b = taken_++;
            }
            std::vector<Indexed> files;
            for (std::size_t i = b * kBatch; i < files_ && i < (b + 1) * kBatch; ++i) files.push_back(work_(i, scratch));
            {
                std::lock_guard lock(mutex_);
                done_[b].files = std::move(files);
                done_[b].ready = true;
            }
            ready_.notify_all();
        }
    }

    std::size_t files_;
    std::size_t batches_;
    const std::function<Indexed(std::size_t, BuildScratch&)>& work_;
    std::vector<Batch> done_;
    std::size_t ahead_ = 1;
    std::size_t taken_ = 0;
    std::size_t consumed_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_, ready_;
    std::vector<std::thread> threads_;
};

}  // namespace

std::string buildIndex(platform::FileSystem& fs, platform::Clock& clock, const std::string& root,
                       const IndexScope& scope, const TextReading& reading, BuildCounts* counts,
                       const IndexView* base, const std::atomic<bool>* stop, const std::string& asideFolder) {
    const std::function<bool()> stopped = [stop] { return stop && stop->load(std::memory_order_relaxed); };
    std::vector<Listed> files;
    {
        std::vector<platform::DirEntry> entries;
        platform::FolderRef folder;
        if (fs.listFolder(root, entries, folder)) listBelow(fs, root, "", entries, folder, files, stopped);
        if (stopped()) return {};
    }
    std::sort(files.begin(), files.end(), [](const Listed& a, const Listed& b) { return a.relative < b.relative; });
    files.erase(std::unique(files.begin(), files.end(),
                            [](const Listed& a, const Listed& b) { return a.relative == b.relative; }),
                files.end());

    IndexWriter writer(scope);
    writer.setBase(base);
    if (!asideFolder.empty()) writer.spillTo(asideFolder);
    BuildCounts made;
    {
        // The lists kept for reuse go before the index is laid out.
        GramLists lists;
        const std::function<Indexed(std::size_t, BuildScratch&)> work = [&](std::size_t i, BuildScratch& scratch) {
            scratch.lists = &lists;
            if (stopped()) return Indexed{};
            return indexFile(fs, clock, files[i], reading, base, scratch);
        };
        BatchedReads reads(files.size(), work);
        for (std::size_t b = 0; b < reads.batches(); ++b) {
            std::vector<Indexed> batch = reads.take(b);
            if (stopped()) return {};
            for (std::size_t k = 0; k < batch.size(); ++k) {
                const Indexed& f = batch[k];
                if (!f.recorded) continue;
                ++made.files;
                const std::string& relative = files[b * BatchedReads::kBatch + k].relative;
                if (f.kept) {
                    ++made.kept;
                    if (base->record(*f.kept).flags & kTextKnown) ++made.known;
                    writer.addKept(relative, *f.kept);
                    continue;
                }
                made.textBytes += f.textBytes;
                if (f.flags & kTextKnown) ++made.known;
                writer.add(relative, f.identity, f.flags, f.grams);
                lists.give(std::move(batch[k].grams));
            }
        }
    }
    std::vector<Listed>().swap(files);
    if (counts) *counts = made;
    return writer.finish();
}

}  // namespace vsr::engine::index
