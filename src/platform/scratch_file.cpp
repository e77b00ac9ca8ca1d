#include "platform/scratch_file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace vsr::platform {

std::unique_ptr<ScratchFile> ScratchFile::create(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        // A file system without unnamed files: a named one, unlinked at once.
        std::string name = folder + "/.scratch.XXXXXX";
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) return nullptr;
        ::unlink(name.c_str());
    }
    return std::unique_ptr<ScratchFile>(new ScratchFile(fd));
}

ScratchFile::~ScratchFile() { ::close(fd_); }

bool ScratchFile::append(std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(size_ + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    size_ += bytes.size();
    return true;
}

bool ScratchFile::readAt(std::uint64_t offset, char* out, std::size_t n) const {
    if (offset > size_ || n > size_ - offset) return false;
    for (std::size_t done = 0; done < n;) {
        const ssize_t got = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace vsr::platform
