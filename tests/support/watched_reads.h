#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vsr::test {

// The real file system, watching the pieces of every read of a listed file, whole or piece by
// piece: it counts both kinds, records the most bytes any read got to, and presses Stop (as the
// window's thread would) once a read has passed `pressAt`.
class WatchedReads final : public platform::FileSystem {
public:
    WatchedReads(platform::FileSystem& inner, std::atomic<bool>& stop) : inner_(inner), stop_(stop) {}

    bool listDirectory(const std::string& dir, std::vector<platform::DirEntry>& out) override {
        return inner_.listDirectory(dir, out);
    }
    bool listFolder(const std::string& dir, std::vector<platform::DirEntry>& out, platform::FolderRef& handle) override {
        return inner_.listFolder(dir, out, handle);
    }
    bool stat(const std::string& path, platform::FileInfo& out) override { return inner_.stat(path, out); }
    platform::ReadStatus readFile(const std::string& path, platform::FileBuffer& buffer, std::uint64_t maxSize) override {
        return inner_.readFile(path, buffer, maxSize);
    }
    platform::ReadStatus readListed(const platform::FileRef& file, platform::FileBuffer& buffer,
                                    const platform::ReadRequest& request) override {
        ++wholeReads;
        const std::function<bool(std::uint64_t)> goOn = watching(request);
        return inner_.readListed(file, buffer, watched(request, goOn));
    }
    platform::ReadStatus streamListed(const platform::FileRef& file, platform::PieceSink& sink,
                                      const platform::ReadRequest& request) override {
        ++streamedReads;
        // As a file system without piece reads of its own: the whole read, handed over in pieces.
        if (wholeReadsOnly) return FileSystem::streamListed(file, sink, request);
        const std::function<bool(std::uint64_t)> goOn = watching(request);
        return inner_.streamListed(file, sink, watched(request, goOn));
    }
    void releaseCaches() override { inner_.releaseCaches(); }

    std::uint64_t pressAt = 0;  // 0: never
    bool wholeReadsOnly = false;
    std::atomic<std::uint64_t> mostRead = 0;
    std::atomic<int> wholeReads = 0;
    std::atomic<int> streamedReads = 0;

private:
    // Asked between the pieces of a read in place of the request's own check, which it then asks.
    std::function<bool(std::uint64_t)> watching(const platform::ReadRequest& request) {
        return [this, &request](std::uint64_t got) {
            std::uint64_t most = mostRead.load();
            while (got > most && !mostRead.compare_exchange_weak(most, got)) {
            }
            if (pressAt > 0 && got >= pressAt) stop_ = true;
            return !request.goOn || (*request.goOn)(got);
        };
    }
    static platform::ReadRequest watched(const platform::ReadRequest& request,
                                         const std::function<bool(std::uint64_t)>& goOn) {
        platform::ReadRequest r = request;
        r.goOn = &goOn;
        return r;
    }

    platform::FileSystem& inner_;
    std::atomic<bool>& stop_;
};

}  // namespace vsr::test
