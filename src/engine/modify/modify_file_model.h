#pragma once
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace vsr::engine {

// The line separator written into altered files (settings " Line Separators in Altered Files ").
enum class LineSeparator { Windows, Unix, Macintosh };

// "\r\n", "\n" or "\r".
std::string_view separatorText(LineSeparator separator);

// A file as the modification engines see it: its lines without their ends (split at CR LF, LF
// or CR), and whether the text ended with a line end, which decides the last line's separator.
// Lines are views into the file's bytes or into texts the model keeps, so a file of many lines
// costs no allocation per line. The search reads a file only up to its first NUL byte, so only
// that text is modelled as lines; the rest is carried over byte for byte and never changed.
class FileModel {
public:
    explicit FileModel(std::string bytes);
    FileModel(const FileModel&) = delete;
    FileModel& operator=(const FileModel&) = delete;

    std::vector<std::string_view> lines;
    bool endedWithLineEnd = false;
    // The model is joined with each line's own line end (joinFileModelOwnEnds): an engine that
    // rebuilds the text keeps the file's line ends where it can.
    bool ownLineEnds = false;

    // The file's bytes as they were read.
    const std::string& original() const { return original_; }
    // Hands the bytes as read back to the caller; the lines must not be used afterwards.
    std::string takeOriginal() {
        lines.clear();
        tail_ = {};
        return std::move(original_);
    }
    // The bytes before the first NUL byte: the text the lines were split from.
    std::string_view text() const { return std::string_view(original_).substr(0, original_.size() - tail_.size()); }
    // The bytes from the first NUL byte on (empty when the file has none), written back as they are.
    std::string_view tail() const { return tail_; }
    // Keeps `text` for the model's lifetime and returns a view of it, for a changed line.
    std::string_view keep(std::string text);
    // The same for the new text of the line `was`: the line end that followed `was` is kept
    // right after the view, so the changed line keeps its own end (see lineEndAfter).
    std::string_view keepLine(std::string text, std::string_view was);
    // Replaces the lines by those of `text`, split at CR LF, LF or CR.
    void replaceWithText(std::string text);

private:
    std::string original_;
    std::string_view tail_;
    std::deque<std::string> kept_;  // a deque never moves its elements, so views stay valid
};

// Splits a text at CR LF, LF or CR into `out` (replacing it); a text ending in a line end has
// no empty line after it.
void splitLines(std::string_view text, std::vector<std::string_view>& out);

// Every line followed by `separator`, except the last, which gets it only when the text ended
// with a line end before the modification; then the untouched tail from the first NUL byte.
std::string joinFileModel(const FileModel& model, LineSeparator separator);

// The line end that follows the line `line` of a model where it lies (CR LF, LF, CR), empty
// for a line of its own, such as one a modification inserted. Every line of a model is a view
// into a string, so the byte after it can be read.
std::string_view lineEndAfter(std::string_view line);

// The line end a file mostly has (CR LF, LF or CR; `otherwise` when it has none), given to the
// lines that have none of their own when the model is joined with its own line ends.
std::string_view usualLineEnd(std::string_view text, LineSeparator otherwise);

// The same as joinFileModel, with each line followed by its own line end where it has one
// (a line kept or changed in place) and by the file's usual line end where not.
std::string joinFileModelOwnEnds(const FileModel& model, LineSeparator otherwise);

}  // namespace vsr::engine
