#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vsr::engine {

// Which edits of one file a modification leaves out, so the user keeps any subset of them.
//
// An edit is named by its ordinal: its 0-based place among the edits a full run of the file
// would make, in text order. For a given text, query and modification type (and interval) the
// ordinals are stable, and turning an edit off never moves another: every engine finds its
// matches in the text as read, so a skipped match only leaves its own bytes as they were.
// What counts as one edit is what the engine changes at once: a phrase occurrence, a non-empty
// match of a regular expression (line by line or over the whole text), a block of a multiline
// query. Occurrences outside the row's interval, and empty matches, are no edits and have no
// ordinal. reviewRow() lists the edits with their ordinals; the Lines Viewer's preview of a
// file shows the same edits in the same order.
//
// The ordinals are held sorted: a run asks about them in increasing order, and a file of
// thousands of edits toggles one in a few microseconds.
class SkippedEdits {
public:
    bool skipped(std::size_t ordinal) const;
    bool empty() const { return ordinals_.empty(); }
    std::size_t count() const { return ordinals_.size(); }
    const std::vector<std::size_t>& ordinals() const { return ordinals_; }

    void skip(std::size_t ordinal);
    void keep(std::size_t ordinal);
    // Turns `ordinal` off when it was on, on when it was off.
    void toggle(std::size_t ordinal);
    // Turns off the edits from `first` up to, not including, `end`.
    void skipRange(std::size_t first, std::size_t end);
    void keepAll() { ordinals_.clear(); }

    // The file's text the choice was made on (reviewHash() of its bytes as read). When set, a
    // run that reads other bytes fails the file rather than apply the ordinals to edits the user
    // never saw; unset, the ordinals are taken as they come.
    std::optional<std::uint64_t> reviewed;

private:
    std::vector<std::size_t> ordinals_;
};

// The hash a choice keeps of the bytes it was made on.
std::uint64_t reviewHash(std::string_view bytes);

// The choice of one run: for each file (by its full name, as ResultItem::fullName() gives it)
// the edits turned off. A file that is not in it keeps every edit, so a run without any choice
// (ModifyDriver::setEditChoice(nullptr), the default) is a full run and costs nothing more.
class EditChoice {
public:
    // The file's skipped edits, or null when it keeps them all and its choice was not tied to
    // the bytes it was made on (`reviewed`).
    const SkippedEdits* of(const std::string& fullName) const;
    // The file's set, made empty when it had none.
    SkippedEdits& forFile(const std::string& fullName) { return files_[fullName]; }
    void dropFile(const std::string& fullName) { files_.erase(fullName); }
    void clear() { files_.clear(); }
    bool empty() const;
    // How many edits are turned off over all files.
    std::size_t skippedCount() const;

private:
    std::unordered_map<std::string, SkippedEdits> files_;
};

// What a file's modification did with the edits it found, under a choice.
struct EditTally {
    std::size_t seen = 0;  // edits the full run makes (the next ordinal)
    std::size_t kept = 0;  // of them, the ones made
};

}  // namespace vsr::engine
