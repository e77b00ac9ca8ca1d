#pragma once

namespace vsr::platform {

// The name of the kernel's own file system the open file or folder `fd` lies on ("proc",
// "sysfs", "debugfs", "cgroup", "devtmpfs" and the like), whose entries are the kernel's
// settings and devices rather than anyone's text: a modification never writes them. Null for
// any other file system.
const char* kernelFileSystemOf(int fd);

}  // namespace vsr::platform
