#pragma once
#include <string>

struct stat;

namespace vsr::durable {

// How closely a new file must take over the attributes of the file it stands for.
enum class Likeness {
    Exact,   // a rewritten file: owner, group, mode and every extended attribute, or nothing
    Backup,  // a backup: as much as allowed, but never a set-id bit under another owner or group
};

// Gives the new file `to` the owner, group, mode and extended attributes (user.*, ACLs, security
// labels, capabilities) of the file `from` (described by `st`). Exact: false when one of them
// can't be given. Backup: always true; an owner or group that can't be given drops the
// matching set-id bit and the capabilities.
bool transferAttributes(int from, const struct stat& st, int to, Likeness likeness);

// The file capability of the file (its security.capability attribute); empty when it has none.
std::string capabilitiesOf(int fd);
// Puts a file capability back (an in-place write drops it); false when it can't be.
bool setCapabilities(int fd, const std::string& value);

}  // namespace vsr::durable
