#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/viewer/lines_viewer_content.h"
#include "platform/code_page.h"

namespace vsr::reports {

// The context size of the settings dialog's choice "All".
inline constexpr std::int64_t kAllContext = 10000000;
// The choices of the settings dialog's context size, in its order ("5" is the default).
inline constexpr const char* kContextChoices[] = {"1", "2", "3", "5", "10", "15", "20", "30", "50", "100", "All"};
// The number of lines of a choice ("All" or a count); -1 when the text is neither.
std::int64_t contextLines(std::string_view choice);

// The "Browse.htm" page: every entry of the Lines Viewer with `context` lines of the file
// around each found line, found lines starred and marked, a blank line where lines were
// skipped. `fileLines` are the lines of the file as read now (1-based line k is
// fileLines[k - 1]); `type` is the query type the entries were made with, `page` the text
// encoding of the file's lines (the page is written in UTF-8).
std::string browseContextText(const engine::LinesViewerContent& lines, const std::vector<std::string_view>& fileLines,
                              std::int64_t context, engine::QueryType type, platform::CodePageId page);

// The Lines Viewer's entries as they are shown, with their marks ("Save Lines").
std::string savedLinesText(const engine::LinesViewerContent& lines, engine::QueryType type, platform::CodePageId page);

// The lines of a file's bytes as the Lines Viewer numbers them: reading stops at the first
// NUL byte, lines end at CR LF, LF or CR. The views point into `bytes`.
std::vector<std::string_view> numberedLines(std::string_view bytes);

}  // namespace vsr::reports
