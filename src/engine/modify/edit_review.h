#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/modify/edit_choice.h"
#include "engine/modify/edit_observer.h"
#include "engine/modify/modify_preview.h"

namespace vsr::engine {

// One side of an edit as a review shows it: the lines it touches, without their line ends, in
// the chosen encoding (as the Lines Viewer shows them), and the bytes that change.
struct ReviewSide {
    std::vector<std::string> lines;
    // The changed bytes, as offsets into the lines joined with "\n"; begin == end where nothing
    // stands (the old side of an insertion, the new side of a deletion). The bytes both sides
    // share at the edges are left out, so Insert Before marks only what it puts in.
    std::size_t begin = 0;
    std::size_t end = 0;
    bool operator==(const ReviewSide&) const = default;
};

// One edit of a file, as its full run makes it: what the user keeps or turns off.
struct ReviewEdit {
    std::size_t ordinal = 0;  // the edit's name in SkippedEdits
    std::size_t line = 0;     // 1-based number of the first line it touches
    std::size_t column = 0;   // the byte of that line where its match starts (as found lines mark it)
    ReviewSide before;        // the old line(s)
    ReviewSide after;         // the new line(s): the old ones with this edit alone made
    bool operator==(const ReviewEdit&) const = default;
};

// The edits of one row's file, for review.
struct FileReview {
    // What a full Modify of the row does to the file (Changed, Unchanged, Refused, ...); the
    // edits are listed when the engine got through the file (Changed or Unchanged).
    PreviewState state = PreviewState::Refused;
    std::vector<ReviewEdit> edits;
    // reviewHash() of the bytes the edits were listed from: the caller puts it in the file's
    // SkippedEdits::reviewed, so a file changed since is not modified by stale ordinals.
    std::uint64_t hash = 0;
    std::string failure;  // Failed: why, as the row would say
};

// Lists the edits of row `item` by the path Modify, the preview and the dry run take (marks,
// reading, the engine of the search type, the interval), writing nothing. The window's check
// boxes and the terminal's questions are both made from it.
FileReview reviewRow(ModifyEnv env, SearchSink& sink, RunControl& control, const results::ResultItem& item,
                     const SearchConditions& conditions, const ModifyOptions& options);

// The review entry of one seen edit.
ReviewEdit reviewEdit(std::size_t ordinal, const SeenEdit& edit);

}  // namespace vsr::engine
