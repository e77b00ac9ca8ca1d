#include "project/batch_file.h"

#include "project/line_reader.h"
#include "settings/value_text.h"

namespace vsr::project {

namespace {

using settings::parseWholeNumber;

std::optional<int> number(LineReader& in) {
    auto line = in.next();
    if (!line) return std::nullopt;
    return parseWholeNumber(*line);
}

bool cell(LineReader& in, std::string& out) {
    auto line = in.next();
    if (!line) return false;
    out = cellText(*line);
    return true;
}

}  // namespace

std::string batchFileBytes(const BatchTable& table) {
    LineWriter out;
    out.number(static_cast<long long>(table.rows.size()));
    for (const BatchPair& row : table.rows) {
        out.line("");
        out.line(row.search);
        out.line(row.replace);
    }
    return out.take();
}

BatchFileRead readBatchFile(std::string_view bytes, BatchTable& table) {
    LineReader in(bytes);
    const std::optional<int> k = number(in);
    if (!k || *k < 0) return BatchFileRead::Unreadable;
    if (*k > kMaxBatchRows) return BatchFileRead::TooManyRows;
    // A table has at least one row, as "Number of Rows" never goes below 1.
    table.rows.assign(static_cast<std::size_t>(std::max(*k, 1)), BatchPair{});
    table.numberOfRows = static_cast<int>(table.rows.size());
    for (int r = 0; r < *k; ++r) {
        BatchPair& row = table.rows[static_cast<std::size_t>(r)];
        if (!in.next() || !cell(in, row.search) || !cell(in, row.replace)) return BatchFileRead::Unreadable;
    }
    return BatchFileRead::Read;
}

std::string batchTempBytes(const BatchTable& table) {
    LineWriter out;
    out.number(table.dialogWidth);
    out.number(table.dialogHeight);
    out.number(table.numberOfRows);
    out.number(table.searchColumnWidth);
    out.number(table.replaceColumnWidth);
    out.number(static_cast<long long>(table.rows.size()));
    for (const BatchPair& row : table.rows) out.line(row.search);
    out.line("");
    for (const BatchPair& row : table.rows) out.line(row.replace);
    return out.take();
}

bool readBatchTemp(std::string_view bytes, BatchTable& table) {
    LineReader in(bytes);
    auto width = number(in);
    if (!width) return false;
    table.dialogWidth = *width;
    auto height = number(in);
    if (!height) return false;
    table.dialogHeight = *height;
    auto rows = number(in);
    if (!rows) return false;
    table.setNumberOfRows(*rows);
    auto first = number(in);
    if (!first) return false;
    table.searchColumnWidth = *first;
    auto second = number(in);
    if (!second) return false;
    table.replaceColumnWidth = *second;
    auto k = number(in);
    if (!k || *k < 0 || *k > kMaxBatchRows) return false;
    const std::size_t n = static_cast<std::size_t>(std::max(*k, 1));  // 0 counts as 1
    table.rows.resize(n);
    for (std::size_t r = 0; r < n; ++r)
        if (!cell(in, table.rows[r].search)) return false;
    if (!in.next()) return false;
    for (std::size_t r = 0; r < n; ++r)
        if (!cell(in, table.rows[r].replace)) return false;
    return true;
}

}  // namespace vsr::project
