#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vsr::project {

// A one-line value that stands for several lines: "|" ends a line and "||" is one
// literal "|". A value without a bar is one line; a bar at the end gives an empty last line.
std::vector<std::string> splitBarLines(std::string_view value);

// The same lines as the text of a multi-line field: joined by "\n". A field's final line feed
// only ends its last line, so a last line that is empty gets one more "\n" to stay a line.
std::string barLinesText(std::string_view value);

}  // namespace vsr::project
