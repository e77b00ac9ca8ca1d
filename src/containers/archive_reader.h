#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "containers/container_member.h"
#include "containers/read_limits.h"

namespace vsr::containers {

// Whether a document member is visited as its text (what a search matches) or as the bytes it
// is stored as (what a copy of it holds).
enum class DocumentMembers { AsText, AsBytes };

struct ArchiveEnd {
    bool opened = false;   // false: not an archive we can read (a status text says why)
    bool stopped = false;  // the stop flag ended the walk
};

// Visits every member of the archive or compressed file at `path`, in the archive's order.
// Archives inside it are opened to limits.depth and their members visited with nested paths;
// documents inside it are visited as their text. Damage, encryption and the limits end a member
// or the walk with a status text, never a crash.
ArchiveEnd readArchive(const std::string& path, const ReadLimits& limits, const std::atomic<bool>& stop,
                       ContainerVisitor& visitor, DocumentMembers documents = DocumentMembers::AsText);

// The same for an archive whose bytes are in memory, named `path` (for the members' paths).
ArchiveEnd readArchiveBytes(std::string_view bytes, const std::string& path, std::int64_t time, const ReadLimits& limits,
                            const std::atomic<bool>& stop, ContainerVisitor& visitor);

}  // namespace vsr::containers
