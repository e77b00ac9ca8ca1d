#pragma once
#include <QString>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/viewer/lines_viewer_content.h"
#include "platform/code_page.h"

namespace vsr::ui {

// An entry as drawn: its text with control characters as blanks, and the highlights moved
// from byte offsets to character offsets of that text.
struct DisplayEntry {
    QString text;
    std::vector<std::pair<int, int>> highlights;  // (character offset, character count)
};

// Decodes an entry in the chosen text encoding: under UTF-8 a byte that is no part of a
// character shows as its Windows-1252 character, and a character cut by the 1024-byte limit at
// the end is dropped.
DisplayEntry displayEntry(const engine::FoundLine& entry, platform::CodePageId page);
// Where byte offsets of an entry's text fall in its drawn text (ascending offsets; one past
// the text's end gives its length).
std::vector<int> displayColumns(const engine::FoundLine& entry, platform::CodePageId page,
                                const std::vector<std::size_t>& byteOffsets);
// The same for bare bytes without highlights.
QString displayText(std::string_view bytes, platform::CodePageId page);

}  // namespace vsr::ui
