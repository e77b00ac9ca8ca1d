#include "engine/index/index_build.h"

#include <algorithm>
#include <chrono>
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
};

void listBelow(platform::FileSystem& fs, const std::string& dir, const std::string& relative,
               std::vector<platform::DirEntry>& entries, const platform::FolderRef& folder, std::vector<Listed>& out) {
    std::vector<std::pair<std::string, std::string>> subfolders;
    for (const platform::DirEntry& e : entries) {
        std::string full = dir == "/" ? "/" + e.name : dir + "/" + e.name;
        std::string rel = relative.empty() ? e.name : relative + "/" + e.name;
        if (e.kind == platform::EntryKind::File) out.push_back({std::move(rel), std::move(full)});
        else if (e.kind == platform::EntryKind::Directory) subfolders.emplace_back(std::move(full), std::move(rel));
    }
    for (auto& [full, rel] : subfolders) {
        std::vector<platform::DirEntry> sub;
        platform::FolderRef subFolder;
        const std::string name = platform::fileNamePart(full);
        const platform::FileRef ref{full, full.size() - name.size(), folder.get()};
        if (fs.listSubfolder(ref, sub, subFolder)) listBelow(fs, full, rel, sub, subFolder, out);
    }
}

}  // namespace

FileIdentity identityOf(const platform::FileInfo& info) {
    return {info.device, info.inode, info.size, nanosOf(info.lastWrite), nanosOf(info.statusChange)};
}

std::string buildIndex(platform::FileSystem& fs, platform::Clock& clock, const std::string& root,
                       const IndexScope& scope, const TextReading& reading, BuildCounts* counts) {
    std::vector<Listed> files;
    {
        std::vector<platform::DirEntry> entries;
        platform::FolderRef folder;
        if (fs.listFolder(root, entries, folder)) listBelow(fs, root, "", entries, folder, files);
    }
    std::sort(files.begin(), files.end(), [](const Listed& a, const Listed& b) { return a.relative < b.relative; });
    files.erase(std::unique(files.begin(), files.end(),
                            [](const Listed& a, const Listed& b) { return a.relative == b.relative; }),
                files.end());

    const platform::CodePage& page = platform::CodePage::get(reading.textEncoding);
    IndexWriter writer(scope);
    GramCollector collector;
    std::vector<std::uint32_t> grams;
    platform::FileBuffer buffer;
    std::string scratch, folded;
    BuildCounts made;
    for (const Listed& f : files) {
        platform::FileInfo before;
        if (!fs.stat(f.full, before) || before.kind != platform::EntryKind::File) continue;
        const std::int64_t settled = nanosOf(clock.now()) - kSettleNs;
        std::uint32_t flags = 0;
        grams.clear();
        const FileIdentity identity = identityOf(before);
        const bool quiet = identity.modifiedNs < settled && identity.changedNs < settled;
        if (quiet && before.size <= kLargestIndexedFile &&
            fs.readFile(f.full, buffer, kLargestIndexedFile) == platform::ReadStatus::Ok) {
            platform::FileInfo after;
            const std::string_view bytes = buffer.view();
            made.textBytes += bytes.size();
            // The text a search sees ends at a NUL byte, and what it is decoded as may then
            // differ: such a file is always searched.
            const bool same = fs.stat(f.full, after) && identityOf(after) == identity && bytes.size() == identity.size;
            if (same && std::memchr(bytes.data(), 0, bytes.size()) == nullptr) {
                const FileText text = readFileText(bytes, reading, scratch);
                const bool plain = text.kind == TextKind::Bytes || text.kind == TextKind::Encoded;
                if (plain && (!page.isUtf8() || isUtf8Text(text.text))) {
                    foldForIndex(page, text.text, folded);
                    collector.collect(folded, grams);
                    flags |= kTextKnown;
                }
            }
        }
        if (flags & kTextKnown) ++made.known;
        ++made.files;
        writer.add(f.relative, identity, flags, grams);
    }
    buffer.release();
    if (counts) *counts = made;
    return writer.finish();
}

}  // namespace vsr::engine::index
