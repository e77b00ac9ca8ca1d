#pragma once
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace vsr::engine {

// What an engine tells of one edit it makes, for a review.
struct SeenEdit {
    std::size_t line = 0;                        // 0-based line of the first old line
    std::span<const std::string_view> oldLines;  // the lines the edit touches, without line ends
    // The old text: from byte `begin` of the first line to byte `end` of the last (whole-line
    // edits: 0 to the last line's length).
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string_view replacement;  // what stands there instead; its line breaks are lines
    // Whole-line edits (a multiline block): the lines that take the place of oldLines; null
    // for an edit within lines.
    const std::vector<std::string_view>* newLines = nullptr;
};

// Receives every edit an engine makes, in text order, with its ordinal.
class EditObserver {
public:
    virtual ~EditObserver() = default;
    virtual void seen(std::size_t ordinal, const SeenEdit& edit) = 0;
    // The engine starts over on the same file by another way (the edits seen so far come again).
    virtual void restart() = 0;
};

}  // namespace vsr::engine
