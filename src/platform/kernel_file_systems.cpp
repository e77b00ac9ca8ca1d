#include "platform/kernel_file_systems.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace vsr::platform {
namespace {

constexpr unsigned long kTmpfsMagic = 0x01021994UL;

const char* byMagic(unsigned long type) {
    switch (type) {
        case 0x9fa0UL: return "proc";
        case 0x62656572UL: return "sysfs";
        case 0x64626720UL: return "debugfs";
        case 0x74726163UL: return "tracefs";
        case 0x73636673UL: return "securityfs";
        case 0x27e0ebUL: return "cgroup";
        case 0x63677270UL: return "cgroup2";
        case 0x62656570UL: return "configfs";
        case 0xcafe4a11UL: return "bpf";
        case 0x6165676cUL: return "pstore";
        case 0xde5e81e4UL: return "efivarfs";
        default: return nullptr;
    }
}

// devtmpfs reports itself as tmpfs; only the mount table tells them apart. A tmpfs device is
// looked up once.
bool isDevtmpfs(dev_t device) {
    static std::mutex mutex;
    static std::map<dev_t, bool> known;
    std::lock_guard lock(mutex);
    if (auto it = known.find(device); it != known.end()) return it->second;
    bool dev = false;
    if (std::FILE* f = std::fopen("/proc/self/mountinfo", "re")) {
        char line[4096];
        const std::string id = std::to_string(major(device)) + ":" + std::to_string(minor(device));
        while (std::fgets(line, sizeof line, f)) {
            // "ID PARENT MAJOR:MINOR ROOT MOUNTPOINT OPTIONS [FIELDS...] - TYPE SOURCE OPTIONS"
            char* third = std::strchr(line, ' ');
            third = third ? std::strchr(third + 1, ' ') : nullptr;
            if (!third || std::strncmp(third + 1, id.c_str(), id.size()) != 0 || third[1 + id.size()] != ' ') continue;
            const char* dash = std::strstr(line, " - ");
            if (dash && std::strncmp(dash + 3, "devtmpfs ", 9) == 0) dev = true;
            break;
        }
        std::fclose(f);
    }
    known.emplace(device, dev);
    return dev;
}

}  // namespace

const char* kernelFileSystemOf(int fd) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0) return nullptr;
    const auto type = static_cast<unsigned long>(fs.f_type);
    if (const char* name = byMagic(type)) return name;
    if (type != kTmpfsMagic) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0) return nullptr;
    return isDevtmpfs(st.st_dev) ? "devtmpfs" : nullptr;
}

}  // namespace vsr::platform
