#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/civil_date.h"

namespace vsr::platform {

// What a directory entry is, as far as the search cares. Sockets, FIFOs, devices and links
// to folders are Other: they are never opened and never walked into.
enum class EntryKind { File, Directory, Other };

// The four attribute letters of a row. On Linux: read-only when the owner lacks write
// permission, hidden when the name begins with "."; system and archive are never set.
struct FileAttributes {
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
    bool archive = false;
    bool operator==(const FileAttributes&) const = default;
};

// Size, time and attributes of a file; fetched only when a filter or a row needs them.
struct FileInfo {
    EntryKind kind = EntryKind::File;
    std::uint64_t size = 0;
    FileTime lastWrite{};
    // When the file's contents or information last changed (no one can set it back): with the
    // size and time, what tells a cache that a file it knows is still the same.
    FileTime statusChange{};
    FileAttributes attributes;
    // Which file it is (after following a link); both 0 when the file system does not say.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// One entry of a directory listing. The kind comes from the listing itself; `info` is
// filled on demand (FileSystem::loadInfo) so a walk stats only the files it must.
struct DirEntry {
    std::string name;
    EntryKind kind = EntryKind::File;
    bool infoLoaded = false;
    FileInfo info;
    // Listed through a symbolic link (kind tells what it names): the file may lie anywhere.
    bool viaLink = false;
};

// A reusable read buffer: grows to the largest file seen and is never zero-filled, so a walk
// over many files costs one allocation. A NUL byte always follows the data.
class FileBuffer {
public:
    char* data() { return data_.get(); }
    const char* data() const { return data_.get(); }
    std::size_t size() const { return size_; }
    // Bytes the buffer holds without growing, the terminating NUL included.
    std::size_t capacity() const { return capacity_; }
    std::string_view view() const { return {data_.get() ? data_.get() : "", size_}; }
    // Makes room for `n` bytes (plus the terminating NUL); keeps the old contents.
    void reserve(std::size_t n);
    void setSize(std::size_t n);
    void assign(std::string_view bytes);
    // Gives the memory back; the next use allocates again.
    void release();

private:
    struct Free {
        void operator()(char* p) const;
    };
    std::unique_ptr<char, Free> data_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

// Stopped: the caller's go-on check ended the read of a large file midway.
enum class ReadStatus { Ok, Failed, TooLarge, Stopped };

// Files above this size are not read for content: the whole-buffer matchers would need more
// memory than a desktop search should take, and row sizes are defined up to 2 GB - 1.
inline constexpr std::uint64_t kMaxReadableFileSize = 2147483647ULL;

// The length of a full name the system refuses to open whole (PATH_MAX on Linux). A search
// lists files in folders nested deeper through the folders' handles.
inline constexpr std::size_t kLongestFullName = 4096;

// A listed folder the file system keeps open, so the files in it are opened by their names
// alone, from any thread, for as long as someone holds the handle.
class FolderHandle {
public:
    virtual ~FolderHandle() = default;
};
using FolderRef = std::shared_ptr<const FolderHandle>;

// A folder opened only to look up the information of its entries by their names, from any
// thread, without listing it.
class FolderLookup {
public:
    virtual ~FolderLookup() = default;
    // As FileSystem::stat for the entry `name` of the folder (a link followed).
    virtual bool statEntry(const std::string& name, FileInfo& out) = 0;
};

// A file to read: its full name, where its own name starts in it, and the handle of its folder
// when the walk kept one.
struct FileRef {
    const std::string& path;
    std::size_t nameStart = 0;
    const FolderHandle* folder = nullptr;
};

// How a listed file is read. A file larger than one piece is read piece by piece, and between
// the pieces `goOn` (when given) is asked with the bytes read so far: false ends the read with
// ReadStatus::Stopped, so Stop never waits for the whole of a huge file. With `stopAtNul` the
// read ends at the first NUL byte and the buffer is cut there: what follows it is never wanted.
struct ReadRequest {
    std::uint64_t maxSize = kMaxReadableFileSize;
    DirEntry* entry = nullptr;  // filled from the opened file when its information is not loaded
    bool stopAtNul = false;
    // The walk listed the file as a regular file (kind File): a file that fits the buffer's
    // room is read to its end without asking the system for its size and kind first. Ignored
    // while `entry` wants its information filled.
    bool listedRegular = false;
    // The listing showed the regular file itself, not a link to it: it lies on the file system
    // of its folder's handle.
    bool listedPlain = false;
    const std::function<bool(std::uint64_t bytesRead)>* goOn = nullptr;
    // With `entry`: its information is not asked for before the read but once the file has been
    // read to its end, while it is still open, and only when this says so (a search that wants
    // the information of the files it lists, and lists few of those it reads). Only piece reads
    // (streamListed) look at it.
    const std::function<bool()>* infoAfter = nullptr;
};

// Takes the bytes of a file piece by piece as they are read (FileSystem::streamListed), so
// each piece is looked at while it is still in the processor's cache.
class PieceSink {
public:
    // Where the next bytes go; never empty.
    virtual std::span<char> room() = 0;
    // `n` bytes (at least one) were read into room(). False: no more are wanted.
    virtual bool arrived(std::size_t n) = 0;
    // The file is said to hold `size` bytes, as far as the system knows while it is read: a
    // sink that keeps every byte may make room for them at once.
    virtual void expect(std::uint64_t size) { (void)size; }

protected:
    ~PieceSink() = default;
};

// The bytes one read() asks for: large enough that a piece costs nothing to start, small enough
// that a check between two pieces comes every few milliseconds even from a slow disk.
inline constexpr std::size_t kReadPieceBytes = 1u << 20;
// The least room a read of a file of unknown size starts with: most text files fit.
inline constexpr std::size_t kFirstReadRoom = 256u << 10;

// Directory listing, file information and whole-file reads: all the search needs from disk.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Lists `dir` (no trailing "/") in the order the system returns entries, without "." and
    // "..". False when the folder can't be opened; `out` is then empty.
    virtual bool listDirectory(const std::string& dir, std::vector<DirEntry>& out) = 0;
    // The same, and a handle of the folder for reading its files (null when the file system
    // keeps none, for instance while too many are open already).
    virtual bool listFolder(const std::string& dir, std::vector<DirEntry>& out, FolderRef& handle) {
        handle.reset();
        return listDirectory(dir, out);
    }
    // Lists a subfolder the walk found in a listed folder: `folder.path` is its full name and
    // `folder.folder` the parent's handle, in which it is opened by its name alone when there
    // is one. A link put in the folder's place since the parent was listed is not followed (a
    // link to a folder is never walked). As listFolder otherwise.
    virtual bool listSubfolder(const FileRef& folder, std::vector<DirEntry>& out, FolderRef& handle) {
        return listFolder(folder.path, out, handle);
    }
    // Size, time and attributes of `path`, following a link to a file. False when missing.
    virtual bool stat(const std::string& path, FileInfo& out) = 0;
    // The same for a listed file, looked up by its name alone in its folder's handle when there
    // is one: the kernel then resolves one name instead of the whole path.
    virtual bool statAt(const FileRef& file, FileInfo& out) { return stat(file.path, out); }
    // Size, time and identity of `path` by its full name alone, keeping no handle and taking no
    // lock, so many threads may ask at once; with `followLink` false a link is described itself
    // (kind Other). False when missing or when the name is too long to be looked up whole.
    virtual bool statByName(const std::string& path, bool followLink, FileInfo& out) {
        (void)followLink;
        return stat(path, out);
    }
    // The folder `path` opened for FolderLookup, and its own information in `info` (with
    // `followLink` false, a link is not followed and null returned). Null when it is no folder
    // or can't be opened.
    virtual std::unique_ptr<FolderLookup> openLookup(const std::string& path, bool followLink, FileInfo& info);
    // Reads the whole file into `buffer`. Refuses files above `maxSize` with TooLarge and
    // anything that is not a regular file with Failed.
    virtual ReadStatus readFile(const std::string& path, FileBuffer& buffer,
                                std::uint64_t maxSize = kMaxReadableFileSize) = 0;
    // The same for a listed file, opened relative to its folder's handle when there is one.
    // When `entry` is given and its information is not loaded yet, the file system may fill it
    // from the opened file (saving a later stat).
    virtual ReadStatus readFileAt(const FileRef& file, FileBuffer& buffer, std::uint64_t maxSize,
                                  DirEntry* entry = nullptr) {
        ReadRequest request;
        request.maxSize = maxSize;
        request.entry = entry;
        return readListed(file, buffer, request);
    }
    // The read a search makes of each listed file (see ReadRequest). This fallback reads the
    // file whole and then applies the request.
    virtual ReadStatus readListed(const FileRef& file, FileBuffer& buffer, const ReadRequest& request);

    // Reads a listed file as readListed does, handing its bytes to `sink` as they come instead
    // of gathering them: Ok when the file ended or the sink wanted no more. `goOn` is asked
    // before every read after the first; `stopAtNul` is the sink's business. A file that fills
    // the sink's first room is looked at: one that is no regular file is refused (Failed), one
    // above `maxSize` is TooLarge, as is one that grows past it while it is read. This fallback
    // reads the file whole and hands it over in pieces.
    virtual ReadStatus streamListed(const FileRef& file, PieceSink& sink, const ReadRequest& request);

    // Drops whatever the implementation keeps open between calls (a folder handle); a run
    // calls it when it ends, so a folder replaced later is looked up afresh.
    virtual void releaseCaches() {}

    // Fills entry.info once; false when the file vanished in between.
    bool loadInfo(const std::string& dir, DirEntry& entry);
    // The same for a listed file named by `file` (whose name part is entry.name).
    bool loadInfo(const FileRef& file, DirEntry& entry);
};

// Joins a folder and a name with "/", never producing "//" (the root folder is "/").
std::string joinPath(const std::string& dir, const std::string& name);
// The folder part of a full name (up to its last "/", without it; "/" for a file in the root).
std::string parentPath(const std::string& fullName);
std::string fileNamePart(const std::string& fullName);

}  // namespace vsr::platform
