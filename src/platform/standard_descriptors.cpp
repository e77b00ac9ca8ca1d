#include "platform/standard_descriptors.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vsr::platform {

void openMissingStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free descriptor is the closed one, since those below it are open by now.
        const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

}  // namespace vsr::platform
