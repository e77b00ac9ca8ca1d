#pragma once
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "containers/container_member.h"
#include "engine/decode/file_text.h"

namespace vsr::engine {

// A document's text is UTF-8 whatever the chosen encoding: behind a UTF-8 mark it goes through
// this stage as a marked file would, and reaches the matchers in the chosen encoding.
void markDocumentText(std::string& text);

struct ContainerContent {
    TextKind kind = TextKind::ArchiveMember;  // or Document
    std::string bytes;                        // a member's bytes, or a document's marked text
    std::string status;                       // what the reader said when it cut the content short
    std::uint64_t size = 0;                   // a member's size and time, as its archive records them
    std::int64_t mtime = 0;
};

// The content of the row `fullName` when a search that opens archives listed it as one of
// theirs: a member of an archive on disk ("/data/a.tar.gz/src/main.c", nested archives too) or
// a document. None for a plain file, an archive itself, or a member no longer there. The same
// readers and limits as the search's, so the Lines Viewer and the reports see the text the
// search matched. Setting `stop` at any time ends the scan (none then).
std::optional<ContainerContent> containerContent(const std::string& fullName, const std::atomic<bool>& stop);

// The archive on disk that `fullName` runs through when it names a member of one
// ("/data/a.tar.gz/src/main.c" gives "/data/a.tar.gz", also for members of nested archives);
// empty when something stands at `fullName` itself or the path leads to no file. It only looks
// at the names on disk: a member gone from its archive still answers its archive.
std::string archiveOnDisk(const std::string& fullName);

struct MemberBytes {
    std::string bytes;  // the member as stored, a document member too (not its text)
    std::int64_t mtime = 0;
    containers::ReadEnd end = containers::ReadEnd::Whole;
    std::string status;  // why the bytes are not the whole member
};

// The bytes of the member `fullName` of the archive on disk `archive`, read through the same
// limits as a search's; none when the archive holds no such member any more, or when `stop` was
// set before the member was read whole.
std::optional<MemberBytes> memberBytes(const std::string& archive, const std::string& fullName,
                                       const std::atomic<bool>& stop);

}  // namespace vsr::engine
