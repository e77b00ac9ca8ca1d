#include "durable/attribute_transfer.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace vsr::durable {
namespace {

constexpr const char* kCapability = "security.capability";

// The names of the file's extended attributes; nothing on a file system without them.
std::vector<std::string> attributeNames(int fd) {
    std::vector<std::string> names;
    for (int attempt = 0; attempt < 4; ++attempt) {
        ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size <= 0) return names;
        std::string list(static_cast<std::size_t>(size), '\0');
        ssize_t got = ::flistxattr(fd, list.data(), list.size());
        if (got < 0 && errno == ERANGE) continue;
        if (got < 0) return names;
        for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
            const std::size_t len = std::strlen(list.data() + at);
            if (len) names.emplace_back(list.data() + at, len);
            at += len + 1;
        }
        return names;
    }
    return names;
}

bool valueOf(int fd, const std::string& name, std::string& value) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) return false;
        value.assign(static_cast<std::size_t>(size), '\0');
        ssize_t got = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (got < 0 && errno == ERANGE) continue;
        if (got < 0) return false;
        value.resize(static_cast<std::size_t>(got));
        return true;
    }
    return false;
}

}  // namespace

std::string capabilitiesOf(int fd) {
    std::string value;
    if (!valueOf(fd, kCapability, value)) return {};
    return value;
}

bool setCapabilities(int fd, const std::string& value) {
    return ::fsetxattr(fd, kCapability, value.data(), value.size(), 0) == 0;
}

bool transferAttributes(int from, const struct stat& st, int to, Likeness likeness) {
    struct stat now {};
    if (::fstat(to, &now) != 0) return false;
    mode_t mode = st.st_mode & 07777;
    // Owner first: a change of owner clears set-id bits and capabilities, which come after.
    bool ownerKept = now.st_uid == st.st_uid;
    bool groupKept = now.st_gid == st.st_gid;
    if (!ownerKept || !groupKept) {
        if (::fchown(to, st.st_uid, st.st_gid) == 0) {
            ownerKept = groupKept = true;
        } else if (!groupKept && ::fchown(to, static_cast<uid_t>(-1), st.st_gid) == 0) {
            groupKept = true;
        }
    }
    if (likeness == Likeness::Exact && (!ownerKept || !groupKept)) return false;
    // A copy owned by someone else must not run with its original's owner or group.
    if (!ownerKept) mode &= ~static_cast<mode_t>(S_ISUID);
    if (!groupKept) mode &= ~static_cast<mode_t>(S_ISGID);

    for (const std::string& name : attributeNames(from)) {
        if (name == kCapability && !ownerKept) continue;
        std::string value;
        bool ok = valueOf(from, name, value) &&
                  ::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) == 0;
        if (!ok && likeness == Likeness::Exact) return false;
    }
    // Setting an access list may have touched the mode bits; the file's own mode is final.
    if (::fchmod(to, mode) != 0) return likeness == Likeness::Backup && ::fchmod(to, mode & 0777) == 0;
    if (likeness == Likeness::Exact) {
        if (::fstat(to, &now) != 0 || (now.st_mode & 07777) != mode) return false;
    }
    return true;
}

}  // namespace vsr::durable
