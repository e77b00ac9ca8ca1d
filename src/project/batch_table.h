#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vsr::project {

inline constexpr int kMaxBatchRows = 100000;
inline constexpr std::size_t kMaxCellLength = 1000;
// Column widths at 96 dots per inch.
inline constexpr int kMinSearchColumnWidth = 78;
inline constexpr int kMinReplaceColumnWidth = 165;
inline constexpr int kDefaultColumnWidth = 244;
// The batch dialog's designed (and smallest) size at 96 dots per inch.
inline constexpr int kBatchDialogWidth = 516;
inline constexpr int kBatchDialogHeight = 234;

struct BatchPair {
    std::string search;   // "To Search"
    std::string replace;  // "To Replace or Insert"
    bool operator==(const BatchPair&) const = default;
};

// The batch replacement table with the dialog's remembered size. There is always at
// least one data row; rows.size() is the grid's row count below the header.
struct BatchTable {
    int dialogWidth = 0;   // 0: the dialog's designed size
    int dialogHeight = 0;
    int numberOfRows = 1;  // the spin box "Number of Rows"
    int searchColumnWidth = kDefaultColumnWidth;
    int replaceColumnWidth = kDefaultColumnWidth;
    std::vector<BatchPair> rows = std::vector<BatchPair>(1);

    bool operator==(const BatchTable&) const = default;

    // "Number of Rows" changed: values above the maximum are lowered to it, and from 1 on
    // the table gets that many rows, rows it adds being empty.
    void setNumberOfRows(int value);
    // Inserts an empty row at `current`; the rows from there move down one.
    void insertRow(std::size_t current);
    // Removes the row at `current`; a single row is emptied instead.
    void removeRow(std::size_t current);
    // One empty row remains.
    void removeAll();
};

// A cell as the table keeps it: cut before a pasted line break and to its first 1000
// characters (a UTF-8 character is never split).
std::string cellText(std::string_view text);

// The first `limit` characters of UTF-8 text; bytes that are no valid UTF-8 count one each.
std::string_view firstCharacters(std::string_view text, std::size_t limit);

}  // namespace vsr::project
