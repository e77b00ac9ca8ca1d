#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/modify/edit_review.h"

namespace vsr::test {

// The model the tests of chosen replacements hold Modify to: a file's bytes with exactly the
// kept edits of its review made, spliced in by hand.

// One edit as the review lists it, placed in the original bytes: [offset, offset + length)
// becomes `text`. The files here have LF line ends only, so the review's lines joined with
// "\n" are the file's bytes from the start of the edit's first line.
struct PlacedEdit {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::string text;
};

inline std::string joinLf(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "\n" : "") + lines[i];
    return out;
}

inline PlacedEdit placedEdit(const std::string& original, const engine::ReviewEdit& e) {
    std::size_t lineStart = 0;
    for (std::size_t n = 1; n < e.line; ++n) lineStart = original.find('\n', lineStart) + 1;
    const std::string oldText = joinLf(e.before.lines);
    const std::string newText = joinLf(e.after.lines);
    EXPECT_EQ(original.compare(lineStart, oldText.size(), oldText), 0) << "the old lines are the file's";
    PlacedEdit p{lineStart + e.before.begin, e.before.end - e.before.begin,
                 newText.substr(e.after.begin, e.after.end - e.after.begin)};
    // Lines taken away without any in their place go with a line end: the one after them, or
    // at the end of a file without a final line end, the one before them.
    if (e.after.lines.empty()) {
        p.offset = lineStart;
        p.length = oldText.size();
        if (p.offset + p.length < original.size()) ++p.length;
        else if (p.offset > 0) --p.offset, ++p.length;
    }
    return p;
}

// The model: the original with exactly the kept edits made, each as the review lists it.
inline std::string applyKept(const std::string& original, const std::vector<engine::ReviewEdit>& edits, const engine::SkippedEdits& skipped) {
    std::string out;
    std::size_t copied = 0;
    for (const engine::ReviewEdit& e : edits) {
        if (skipped.skipped(e.ordinal)) continue;
        const PlacedEdit p = placedEdit(original, e);
        EXPECT_GE(p.offset, copied) << "edits in text order, apart";
        out.append(original, copied, p.offset - copied);
        out += p.text;
        copied = p.offset + p.length;
    }
    return out + original.substr(copied);
}

}  // namespace vsr::test
