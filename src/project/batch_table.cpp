#include "project/batch_table.h"

#include <algorithm>

#include "project/line_reader.h"

namespace vsr::project {

void BatchTable::setNumberOfRows(int value) {
    value = std::min(value, kMaxBatchRows);
    numberOfRows = value;
    if (value < 1) return;
    const std::size_t n = static_cast<std::size_t>(value);
    // Rows cut off earlier must not come back with their old texts.
    if (n < rows.size()) rows.resize(n);
    else rows.resize(n, BatchPair{});
}

void BatchTable::insertRow(std::size_t current) {
    if (rows.size() >= static_cast<std::size_t>(kMaxBatchRows)) return;
    current = std::min(current, rows.size());
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(current), BatchPair{});
    numberOfRows = static_cast<int>(rows.size());
}

void BatchTable::removeRow(std::size_t current) {
    if (rows.size() <= 1) {
        rows.assign(1, BatchPair{});
    } else if (current < rows.size()) {
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(current));
    }
    numberOfRows = static_cast<int>(rows.size());
}

void BatchTable::removeAll() {
    rows.assign(1, BatchPair{});
    numberOfRows = 1;
}

std::string_view firstCharacters(std::string_view text, std::size_t limit) {
    std::size_t i = 0;
    for (std::size_t count = 0; i < text.size() && count < limit; ++count) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t len = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
        if (i + len > text.size()) len = 1;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                len = 1;
                break;
            }
        i += len;
    }
    return text.substr(0, i);
}

std::string cellText(std::string_view text) { return std::string(firstCharacters(oneLine(text), kMaxCellLength)); }

}  // namespace vsr::project
