#include "platform/fd_io.h"

#include <fcntl.h>
#include <unistd.h>

namespace vsr::platform {

void flushFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string folderPart(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool overwriteFromStart(int fd, std::string_view bytes) {
    return ::lseek(fd, 0, SEEK_SET) == 0 && writeAllTo(fd, bytes) &&
           ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fdatasync(fd) == 0;
}

}  // namespace vsr::platform
