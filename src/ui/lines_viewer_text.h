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

// Decodes an entry: as UTF-8 when its bytes are UTF-8 (a character cut by the 1024-byte limit
// at the end is dropped), else with the configured single-byte code page.
DisplayEntry displayEntry(const engine::FoundLine& entry, platform::CodePageId page);
// The same for bare bytes without highlights.
QString displayText(std::string_view bytes, platform::CodePageId page);

}  // namespace vsr::ui
