#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "engine/modify/modify_content.h"

namespace vsr::engine {

// The unified diff of one file's modification: of `before`, its bytes as read, and the bytes
// Modify writes. Built from the edits when they tell the new lines (spliceDiffable), so that each
// changed line is paired with its new version, else by diffing the two texts.
std::string contentDiff(std::string_view name, std::string_view before, const ModifiedContent& content,
                        int context = 3);
// The same for content that holds the bytes as read.
inline std::string contentDiff(std::string_view name, const ModifiedContent& content, int context = 3) {
    return contentDiff(name, content.original, content, context);
}

// The diff built from the edits alone, laid out from `before` and the edits' new texts, or
// nothing when they do not tell the new lines (not spliced, or not spliceDiffable). Its cost
// follows the changed lines, not the size of the file.
std::optional<std::string> splicedDiff(std::string_view name, std::string_view before, const ModifiedContent& content,
                                       int context = 3);

}  // namespace vsr::engine
