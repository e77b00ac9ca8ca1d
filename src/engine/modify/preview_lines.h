#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/viewer/lines_viewer_content.h"

namespace vsr::engine {

// A stretch of a preview line: text the modification inserts, or text it removes.
struct PreviewMark {
    int offset = 0;  // byte offset into PreviewLine::text
    int length = 0;
    bool inserted = true;
    bool operator==(const PreviewMark&) const = default;
};

// One line as it will be written, with what changes in it marked; a removed line is the old
// line marked removed as a whole.
struct PreviewLine {
    std::string text;  // cut to kMaxDisplayText bytes, like the entries
    std::vector<PreviewMark> marks;
    bool operator==(const PreviewLine&) const = default;
};

// The preview of the browsed file: what the Lines Viewer shows under each of its entries.
struct LinesPreview {
    std::vector<std::vector<PreviewLine>> under;  // by entry index; empty for the header
    std::size_t changedLines = 0;                 // lines of the file changed, removed or inserted
};

// Lines the way the Lines Viewer counts them: split after CR LF, LF or CR, up to the first NUL
// byte; each line keeps its line end (the last may have none).
std::vector<std::string_view> viewerLines(std::string_view text);

// One old line against its new form (both without line ends): the new line with the removed
// words kept in it (marked removed) before the words that replace them (marked inserted).
PreviewLine previewLine(std::string_view before, std::string_view after);

// The same for lines with their line ends: when the end changes (CR LF becoming LF, a last line
// gaining or losing its end), the line is followed by the old end's name ("<CR LF>", "<LF>",
// "<CR>" or "<no line end>") marked removed and the new end's marked inserted.
PreviewLine previewLineWithEnds(std::string_view before, std::string_view after);

// Lays the change from `before` to `after` under the entries of `content` (a found line, or a
// block of lines): each line an entry shows appears as it will be written, lines that don't
// change unmarked, a changed line end marked at the line's end; lines the modification adds
// follow the line they come after (or precede the line they come before when that one is not
// shown).
LinesPreview previewLines(const LinesViewerContent& content, std::string_view before, std::string_view after);

}  // namespace vsr::engine
