#pragma once
#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "platform/file_system.h"

namespace vsr::platform {

// An in-memory tree for tests: folders, files with contents (or only a claimed size, so huge
// files cost nothing), special entries and unreadable folders. Listing order is insertion order.
// Safe to use from several threads, so a test may change the tree while a run reads it.
class FakeFileSystem final : public FileSystem {
public:
    FakeFileSystem();

    void addDirectory(const std::string& path, bool readable = true);
    void addFile(const std::string& path, std::string contents, FileTime lastWrite = {},
                 FileAttributes attributes = {});
    // A file whose size is claimed without contents; reading it gives TooLarge or Failed.
    void addSizedFile(const std::string& path, std::uint64_t size, FileTime lastWrite = {});
    void addOther(const std::string& path);
    // A file's status change time, which addFile sets to its write time: a later one stands for a
    // change of mode or owner, or for a write whose write time was set back afterwards.
    void setStatusChange(const std::string& path, FileTime t);
    void remove(const std::string& path);
    int readCount() const { return reads_; }
    int statCount() const { return stats_; }

    bool listDirectory(const std::string& dir, std::vector<DirEntry>& out) override;
    bool stat(const std::string& path, FileInfo& out) override;
    ReadStatus readFile(const std::string& path, FileBuffer& buffer, std::uint64_t maxSize) override;

private:
    struct Node {
        EntryKind kind = EntryKind::File;
        bool readable = true;
        bool hasContents = true;
        std::string contents;
        FileInfo info;
        std::vector<std::string> children;  // names, in insertion order
    };
    Node* find(const std::string& path);
    void attach(const std::string& path);
    std::recursive_mutex mutex_;
    std::map<std::string, Node> nodes_;
    std::atomic<int> reads_ = 0;
    std::atomic<int> stats_ = 0;
};

}  // namespace vsr::platform
