#include "review_prompt.h"

#include <algorithm>
#include <cctype>

namespace vsr::tools {
namespace {

// The start of each line of `side` in its lines joined with "\n".
std::size_t lineStart(const engine::ReviewSide& side, std::size_t line) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < line; ++i) start += side.lines[i].size() + 1;
    return start;
}

// The lines of one side, each with `sign` before it, and under a line that holds part of the
// change a "?" line marking it. A change that is only a line end (lines joined or split) marks
// the place after the line.
void appendSide(std::string& out, char sign, const engine::ReviewSide& side) {
    for (std::size_t i = 0; i < side.lines.size(); ++i) {
        const std::string& line = side.lines[i];
        out += sign;
        out += line;
        out += '\n';
        const std::size_t start = lineStart(side, i);
        const std::size_t end = start + line.size();
        const std::size_t from = std::max(side.begin, start);
        const std::size_t to = std::min(side.end, end + 1);
        if (from >= to) continue;
        std::string marks(1, '?');
        for (std::size_t at = start; at < from; ++at)
            // Continuation bytes of UTF-8 take no column; a tab keeps its width.
            if ((static_cast<unsigned char>(line[at - start]) & 0xC0) != 0x80) marks += line[at - start] == '\t' ? '\t' : ' ';
        std::size_t width = 0;
        for (std::size_t at = from; at < std::min(to, end); ++at)
            if ((static_cast<unsigned char>(line[at - start]) & 0xC0) != 0x80) ++width;
        if (to > end) ++width;  // the line end itself changes
        marks.append(std::max<std::size_t>(width, 1), '^');
        out += marks;
        out += '\n';
    }
}

}  // namespace

std::string reviewHunk(std::string_view name, const engine::ReviewEdit& edit, std::size_t number, std::size_t count) {
    std::string out;
    out += "--- a/";
    out += name;
    out += "\n+++ b/";
    out += name;
    out += "\n@@ -" + std::to_string(edit.line) + "," + std::to_string(edit.before.lines.size()) + " +" +
           std::to_string(edit.line) + "," + std::to_string(edit.after.lines.size()) + " @@ replacement " +
           std::to_string(number) + " of " + std::to_string(count) + "\n";
    appendSide(out, '-', edit.before);
    appendSide(out, '+', edit.after);
    return out;
}

ReviewAnswer askReview(std::FILE* in, std::FILE* prompt) {
    for (;;) {
        std::fputs("Keep this replacement? [y,n,a,d,q] ", prompt);
        std::fflush(prompt);
        std::string line;
        int c = 0;
        while ((c = std::fgetc(in)) != EOF && c != '\n') line += static_cast<char>(c);
        if (c == EOF && line.empty()) {
            std::fputc('\n', prompt);
            return ReviewAnswer::Quit;
        }
        std::size_t b = line.find_first_not_of(" \t\r");
        std::size_t e = line.find_last_not_of(" \t\r");
        const std::string answer = b == std::string::npos ? std::string() : line.substr(b, e - b + 1);
        if (answer.size() == 1) {
            switch (std::tolower(static_cast<unsigned char>(answer[0]))) {
                case 'y': return ReviewAnswer::Keep;
                case 'n': return ReviewAnswer::Skip;
                case 'a': return ReviewAnswer::KeepRest;
                case 'd': return ReviewAnswer::SkipRest;
                case 'q': return ReviewAnswer::Quit;
                default: break;
            }
        }
        std::fputs("y - keep this replacement\n"
                   "n - leave this match as it is\n"
                   "a - keep this and the rest of this file's replacements\n"
                   "d - leave this and the rest of this file's matches as they are\n"
                   "q - leave this and every later match as it is, write what was decided and stop\n",
                   prompt);
    }
}

}  // namespace vsr::tools
