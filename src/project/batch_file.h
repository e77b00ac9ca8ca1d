#pragma once
#include <string>
#include <string_view>

#include "project/batch_table.h"

namespace vsr::project {

// Batch files (".tbl"): the number of rows, then per row an empty line, the "To Search"
// cell and the "To Replace or Insert" cell. CR LF line ends.
std::string batchFileBytes(const BatchTable& table);

enum class BatchFileRead {
    Read,
    // More than 100000 rows: the table is unchanged.
    TooManyRows,
    // The count is no number, or the file ends inside a row: the rows read so far stay.
    Unreadable,
};

// Reads a batch file into the table's rows and "Number of Rows". The caller shows
// "Incorrect file" for anything but Read.
BatchFileRead readBatchFile(std::string_view bytes, BatchTable& table);

// "Batch.tmp" in the data folder: the dialog's size, "Number of Rows", the two column
// widths, the row count, the search cells, an empty line and the replacement cells.
inline constexpr const char* kBatchTempFile = "Batch.tmp";
std::string batchTempBytes(const BatchTable& table);

// Reads "Batch.tmp" into the table; a failure ends the reading and what was read stays.
// False when the reading ended early.
bool readBatchTemp(std::string_view bytes, BatchTable& table);

}  // namespace vsr::project
