#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vsr::engine {

// The line separator written into altered files (settings " Line Separators in Altered Files ").
enum class LineSeparator { Windows, Unix, Macintosh };

// "\r\n", "\n" or "\r".
std::string_view separatorText(LineSeparator separator);

// A file as the modification engines see it: its lines without their ends (split at CR LF, LF
// or CR), and whether the file ended with a line end, which decides the last line's separator.
// NUL bytes are ordinary bytes here: a file is never cut short.
struct FileModel {
    std::vector<std::string> lines;
    bool endedWithLineEnd = false;
};

FileModel loadFileModel(std::string_view bytes);
// Splits a text at CR LF, LF or CR into `out` (replacing it); a text ending in a line end has
// no empty line after it.
void splitLines(std::string_view text, std::vector<std::string>& out);

// Every line followed by `separator`, except the last, which gets it only when the file ended
// with a line end before the modification.
std::string joinFileModel(const FileModel& model, LineSeparator separator);

}  // namespace vsr::engine
