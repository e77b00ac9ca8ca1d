#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vsr::project {

// Reads a positional text file line by line. Lines end at CR LF, LF or a lone CR; the
// views point into the caller's buffer, which must outlive the reader.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : bytes_(bytes) {}

    // The next line, or nothing past the end of the file.
    std::optional<std::string_view> next();
    // The next line; past the end an empty text, as a missing line reads.
    std::string_view text() { return next().value_or(std::string_view()); }
    bool atEnd() const { return pos_ >= bytes_.size(); }
    // How many lines are left, counted without moving; at most `limit` are counted, so a
    // huge file costs no more than the caller asks for.
    std::size_t linesLeft(std::size_t limit) const;

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

// Writes lines, each followed by CR LF.
class LineWriter {
public:
    void line(std::string_view text);
    void number(long long value) { line(std::to_string(value)); }
    void flag(bool value) { line(value ? "TRUE" : "FALSE"); }
    const std::string& bytes() const { return out_; }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

// A one-line value as it can be stored in a positional file: cut before its first line
// break, so a stray break can never shift every later value by a line.
std::string_view oneLine(std::string_view text);

}  // namespace vsr::project
