#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vsr::platform {

// A file without a name for bytes a computation puts aside and reads back later, so they need
// not stay in memory: made in `folder`, private to the user, and gone once closed (or when
// the process ends, however it ends).
class ScratchFile {
public:
    // Null when no such file can be made in `folder`.
    static std::unique_ptr<ScratchFile> create(const std::string& folder);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    std::uint64_t size() const { return size_; }
    // Adds `bytes` at the end; false when they could not all be written.
    bool append(std::string_view bytes);
    // Reads `n` bytes at `offset` into `out`; false unless all of them were there.
    bool readAt(std::uint64_t offset, char* out, std::size_t n) const;

private:
    explicit ScratchFile(int fd) : fd_(fd) {}
    int fd_;
    std::uint64_t size_ = 0;
};

}  // namespace vsr::platform
