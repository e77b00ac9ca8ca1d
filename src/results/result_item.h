#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/civil_date.h"

namespace vsr::results {

// The lines of a row's file that a modification may change. 0 means top (From) or bottom
// (To); -1 with -1 means no line is marked. A new row covers the whole file.
struct ModificationInterval {
    std::int32_t from = 0;
    std::int32_t to = 0;
    bool isAllFile() const { return from == 0 && to == 0; }
    bool isNil() const { return from == -1 && to == -1; }
    // Whether 1-based line `line` lies inside the interval.
    bool contains(std::int32_t line) const {
        if (isNil()) return false;
        return (from == 0 || line >= from) && (to == 0 || line <= to);
    }
    bool operator==(const ModificationInterval&) const = default;
};

// The logical columns of a row; which of them are shown, and where, is ResultList's column set.
enum class Column { Name = 0, Path, Found, Attributes, Time, Size, Type, Result };
inline constexpr int kColumnCount = 8;

// What happened to a row's file; the Result column shows it as a word. LeftUnchanged: the user
// turned every replacement of the file off, so the modification did not touch it.
enum class RowStatus : std::uint8_t { Found, Modified, FailedModification, Undid, FailedUndo, NotFound, LeftUnchanged };

// The Result of a file whose replacements were all turned off.
inline constexpr const char* kLeftUnchanged = "Left Unchanged";

// The word of a status as the Result column shows it.
const char* statusWord(RowStatus status);

// One row of the results list. The texts are made once, for display and the saved list; the
// values beside them are what sorting and every decision read, so no text is parsed back.
struct ResultItem {
    std::string name;        // file name with extension
    std::string path;        // folder without a trailing "/"
    std::string found;       // match counts ("3" or "1, 0, 2" or with ",...")
    std::string attributes;  // "R", "H", "S", "A" letters
    std::string time;        // short date + " " + long time
    std::string size;        // "1.5 KB"
    std::string type;        // type name or "EXT File", and the file's encoding when it has one
    std::string result;      // "Found", "Modified", ... possibly with the interval text
    int icon = -1;           // index into the desktop's small icons; -1 for none
    ModificationInterval interval;
    bool selected = false;

    std::int64_t firstCount = -1;                 // the Found column's leading count; -1 while empty
    std::optional<std::uint64_t> bytes;           // the Size column's value
    std::optional<platform::FileTime> lastWrite;  // the Time column's value
    RowStatus status = RowStatus::Found;
    bool intervalShown = false;                   // the Result text carries the interval
    // Which file the search read for the row, or the modification wrote last (0 and 0 when not
    // known): a modification refuses a file that is no longer that one.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    // The file's own encoding where it is not the chosen text encoding ("UTF-16 LE"), as the
    // search read it; the Type text names it after the type.
    std::string fileEncoding;

    // Sets the status and renders the Result text from status, interval and intervalShown.
    void setStatus(RowStatus s, bool withInterval = false);
    void renderResult();

    // Path + "/" + name (no doubled "/" for a file in the root folder).
    std::string fullName() const;
    const std::string& text(Column c) const;
    std::string& text(Column c);
};

}  // namespace vsr::results
