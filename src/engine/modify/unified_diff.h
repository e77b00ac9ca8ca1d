#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vsr::engine {

// The unified diff of one file, as `patch -p1` (or `git apply`) applies it to the old bytes to
// give the new ones exactly: "--- a/NAME" and "+++ b/NAME", hunks with `context` lines of
// context, "\ No newline at end of file" after a last line without a line feed, CR kept inside
// the lines. A name with blanks, quotes, control or non-ASCII bytes is C-quoted, as diff does.
// Texts with a NUL byte give the single line "Binary files a/NAME and b/NAME differ". Equal
// texts give nothing.
std::string unifiedDiff(std::string_view name, std::string_view before, std::string_view after, int context = 3);

// A line changed in place: the line [oldBegin, oldEnd) of the old text (with its line feed, if
// it has one) became a line of `newLength` bytes with the same line end; `line` is its number
// (from 0) in both texts.
struct ReplacedLine {
    std::size_t line = 0;
    std::size_t oldBegin = 0;
    std::size_t oldEnd = 0;
    std::size_t newLength = 0;
};

// Writes the new version of lines[index] (its newLength bytes) at `at`; returns its end. Refers
// to the callable it is made from, which must outlive it; calling it costs no allocation.
class NewLineWriter {
public:
    template <class F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, NewLineWriter>)
    NewLineWriter(const F& write)  // NOLINT(google-explicit-constructor): made from a lambda in place
        : object_(&write), call_([](const void* o, char* at, std::size_t index) {
              return (*static_cast<const F*>(o))(at, index);
          }) {}
    char* operator()(char* at, std::size_t index) const { return call_(object_, at, index); }

private:
    const void* object_;
    char* (*call_)(const void*, char*, std::size_t);
};

// The unified diff of a text without NUL bytes, `before`, and the text that differs from it only
// in `lines` (in increasing order, each really changed; every other line equal and at the same
// number), each written by `writeNew`: the diff that pairs each changed line with its new
// version, found without comparing or even making the new text. It is the diff unifiedDiff
// gives whenever its line diff has no other best answer.
std::string unifiedDiffOfLines(std::string_view name, std::string_view before, const std::vector<ReplacedLine>& lines,
                               const NewLineWriter& writeNew, int context = 3);

// "a/" or "b/" + name, C-quoted when the name needs it.
std::string diffFileName(std::string_view prefix, std::string_view name);

}  // namespace vsr::engine
