#pragma once
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

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
// search matched.
std::optional<ContainerContent> containerContent(const std::string& fullName, const std::atomic<bool>& stop);

}  // namespace vsr::engine
