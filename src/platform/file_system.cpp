#include "platform/file_system.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace vsr::platform {

void FileBuffer::reserve(std::size_t n) {
    if (n + 1 <= capacity_) return;
    std::size_t cap = capacity_ ? capacity_ : 4096;
    while (cap < n + 1) cap *= 2;
    // Grown in place where the allocator can: a large buffer is its own mapping, which grows
    // without copying, and the pages earlier files touched stay mapped, so the next large file
    // costs no page faults for them.
    void* bigger = std::realloc(data_.get(), cap);
    if (!bigger) throw std::bad_alloc();
    data_.release();
    data_.reset(static_cast<char*>(bigger));
    capacity_ = cap;
}

void FileBuffer::setSize(std::size_t n) {
    reserve(n);
    size_ = n;
    data_.get()[n] = '\0';
}

void FileBuffer::assign(std::string_view bytes) {
    reserve(bytes.size());
    if (!bytes.empty()) std::memcpy(data_.get(), bytes.data(), bytes.size());
    setSize(bytes.size());
}

void FileBuffer::Free::operator()(char* p) const { std::free(p); }

void FileBuffer::release() {
    data_.reset();
    capacity_ = 0;
    size_ = 0;
}

ReadStatus FileSystem::readListed(const FileRef& file, FileBuffer& buffer, const ReadRequest& request) {
    const ReadStatus status = readFile(file.path, buffer, request.maxSize);
    if (status != ReadStatus::Ok || !request.stopAtNul) return status;
    if (const void* nul = std::memchr(buffer.data(), 0, buffer.size()))
        buffer.setSize(static_cast<std::size_t>(static_cast<const char*>(nul) - buffer.data()));
    return status;
}

ReadStatus FileSystem::streamListed(const FileRef& file, PieceSink& sink, const ReadRequest& request) {
    FileBuffer whole;
    ReadRequest wholeRead = request;
    wholeRead.stopAtNul = false;
    // Without piece reads of its own the file is held whole, so the whole read's limit holds.
    wholeRead.maxSize = std::min(request.maxSize, kMaxReadableFileSize);
    DirEntry* const entry = request.entry && !request.entry->infoLoaded ? request.entry : nullptr;
    if (request.infoAfter) wholeRead.entry = nullptr;
    const ReadStatus status = readListed(file, whole, wholeRead);
    if (status != ReadStatus::Ok) return status;
    sink.expect(whole.size());
    for (std::size_t at = 0; at < whole.size();) {
        const std::span<char> room = sink.room();
        if (room.empty()) return ReadStatus::Failed;
        const std::size_t n = std::min(room.size(), whole.size() - at);
        std::memcpy(room.data(), whole.data() + at, n);
        at += n;
        if (!sink.arrived(n)) break;
    }
    if (entry && request.infoAfter && (*request.infoAfter)()) loadInfo(file, *entry);
    return ReadStatus::Ok;
}

bool FileSystem::loadInfo(const std::string& dir, DirEntry& entry) {
    if (entry.infoLoaded) return true;
    if (!stat(joinPath(dir, entry.name), entry.info)) return false;
    entry.infoLoaded = true;
    return true;
}

bool FileSystem::loadInfo(const FileRef& file, DirEntry& entry) {
    if (entry.infoLoaded) return true;
    if (!statAt(file, entry.info)) return false;
    entry.infoLoaded = true;
    return true;
}

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    std::string out;
    out.reserve(dir.size() + name.size() + 1);
    out = dir;
    if (out.back() != '/') out += '/';
    out += name;
    return out;
}

std::string parentPath(const std::string& fullName) {
    std::size_t slash = fullName.rfind('/');
    if (slash == std::string::npos) return {};
    if (slash == 0) return "/";
    return fullName.substr(0, slash);
}

std::string fileNamePart(const std::string& fullName) {
    std::size_t slash = fullName.rfind('/');
    return slash == std::string::npos ? fullName : fullName.substr(slash + 1);
}

namespace {

// A lookup by full names, for a file system that keeps no handles.
class NamedFolderLookup final : public FolderLookup {
public:
    NamedFolderLookup(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
    bool statEntry(const std::string& name, FileInfo& out) override {
        return fs_.statByName(joinPath(path_, name), true, out);
    }

private:
    FileSystem& fs_;
    std::string path_;
};

}  // namespace

std::unique_ptr<FolderLookup> FileSystem::openLookup(const std::string& path, bool followLink, FileInfo& info) {
    if (!statByName(path, followLink, info) || info.kind != EntryKind::Directory) return nullptr;
    return std::make_unique<NamedFolderLookup>(*this, path);
}

}  // namespace vsr::platform
