#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "engine/modify/modify_content.h"

namespace vsr::engine {

// The unified diff of one file's modification (unifiedDiff of its bytes as read and the bytes
// Modify writes), built from the edits when the modification recorded them and the answer is
// sure to be the same, else by diffing the two texts.
std::string contentDiff(std::string_view name, const ModifiedContent& content, int context = 3);

// The diff built from the edits alone, or nothing when it might differ from unifiedDiff's: the
// edits must keep every line where it was, and no changed line (old or new) may equal a line
// on the other side, so that the line diff has one best answer, pairing each changed line with
// its new version.
std::optional<std::string> splicedDiff(std::string_view name, const ModifiedContent& content, int context = 3);

}  // namespace vsr::engine
