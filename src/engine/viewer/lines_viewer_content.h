#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/query/search_conditions.h"

namespace vsr::engine {

// One matched stretch of an entry: byte offset into the entry's display text and length.
struct Highlight {
    int offset = 0;
    int length = 0;
    bool operator==(const Highlight&) const = default;
};

enum class FoundLineKind { Header, Line, Multiline, Overflow };

// One entry of the Lines Viewer.
struct FoundLine {
    FoundLineKind kind = FoundLineKind::Line;
    std::int64_t lineNumber = 0;  // 1-based first line; 0 for the header and the overflow entry
    std::string displayText;      // at most kMaxDisplayText bytes
    std::string fullText;         // uncut text, where the mode keeps it (else empty)
    std::vector<Highlight> highlights;
};

// Why a fill ran: the user browsed the row, another command needed the row's lines, or the
// list has no Found column and only the row's file information is refreshed.
enum class FillPurpose { Browse, Silent, InfoOnly };

inline constexpr std::size_t kMaxFoundEntries = 5000;
inline constexpr std::size_t kOverflowIndex = kMaxFoundEntries + 1;
inline constexpr std::size_t kMaxDisplayText = 1024;
inline constexpr const char* kOverflowText = "    Etc (too many messages for the Lines Viewer)";

// "     File:  name      Path:  dir"
std::string headerText(std::string_view name, std::string_view dir);
// " line N: "
std::string foundLinePrefix(std::int64_t lineNumber);
// " line N " for a one-line block, " line N - line M" for a block of `lines` lines.
std::string multilineText(std::int64_t lineNumber, std::size_t lines);
// The line number written in an entry text (after its first 6 characters, up to the first
// ":" or blank), as drawing and marking read it; 0 when there is none.
std::int64_t entryLineNumber(std::string_view text);

// Buffers a fill keeps for the next one, so refilling a large file allocates nothing new.
struct FillScratch;

// What the Lines Viewer shows and the HTML writers read: the entries of the browsed file,
// the browsed row and the last fill's arguments. Owned by the engine side, drawn by the window.
class LinesViewerContent {
public:
    const std::vector<FoundLine>& entries() const { return entries_; }
    const FoundLine& entry(std::size_t i) const { return entries_.at(i); }
    std::size_t count() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    // Whether the overflow entry closes the list.
    bool full() const { return entries_.size() > kOverflowIndex; }
    // An entry that carries a line of the file (not the header, not the overflow entry).
    bool isLineEntry(long long index) const;
    // The line number of a line entry; 0 otherwise.
    std::int64_t lineNumberAt(long long index) const;

    // Empties the viewer and forgets the browsed row. While a fill runs (it pumps messages, so
    // the window may ask for this) the fill is ended first and the viewer emptied after it.
    void clear();
    bool filling() const { return filling_; }
    bool clearPending() const { return clearPending_; }
    // Called by the fill around its work.
    void beginFill() { filling_ = true; clearPending_ = false; }
    void endFill();
    // Empties the viewer and shows the header of the file `dir`/`name` of row `row`.
    void start(long long row, const std::string& dir, const std::string& name);
    // Drops the entries but keeps the browsed row (a refused query empties the list).
    void clearEntries();

    // Appends a found line " line N: text", cut for display. Returns nullptr when the viewer is
    // full; the first refused line adds the overflow entry instead.
    FoundLine* addLine(std::int64_t lineNumber, std::string_view text, bool keepFullText);
    // Appends a block match of `lines` lines starting at `lineNumber`; false when full.
    bool addBlock(std::int64_t lineNumber, std::size_t lines);

    // The browsed row: index into the results list, folder, name and full name.
    long long browsedRow = -1;
    std::string browsedDir;
    std::string browsedName;
    std::string browsedFullName;

    // The last fill, so a report can repeat it.
    FillPurpose lastPurpose = FillPurpose::Browse;
    QueryType lastQueryType = QueryType::Phrase;
    std::int64_t lastFillMs = 0;

    // The buffers of the fills of this viewer (made on first use).
    FillScratch& scratch();
    // Frees them, e.g. after a very large file.
    void releaseScratch() { scratch_.reset(); }

    // Grows with every change, so a view knows when to take the entries again.
    std::uint64_t revision() const { return revision_; }
    // Grows when the entries are dropped (a view resets its scroll position and extent).
    std::uint64_t generation() const { return generation_; }

private:
    std::vector<FoundLine> entries_;
    std::uint64_t revision_ = 0;
    std::uint64_t generation_ = 0;
    std::shared_ptr<FillScratch> scratch_;
    bool filling_ = false;
    bool clearPending_ = false;
};

}  // namespace vsr::engine
