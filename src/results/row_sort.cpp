#include "results/row_sort.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

namespace vsr::results {

namespace {

unsigned char foldAscii(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

// Rows without a value sort before every row with one, so emptied rows gather at one end.
template <typename T>
int compareOptional(const std::optional<T>& a, const std::optional<T>& b) {
    if (a && b) return *a < *b ? -1 : (*b < *a ? 1 : 0);
    if (!a && !b) return 0;
    return a ? 1 : -1;
}

int compareCounts(std::int64_t a, std::int64_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

// Each text column is folded once, so the comparisons of the sort are plain byte comparisons.
std::vector<std::string> foldedTexts(const std::vector<ResultItem>& rows, Column c) {
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const ResultItem& r : rows) {
        std::string k = r.text(c);
        for (char& ch : k) ch = static_cast<char>(foldAscii(static_cast<unsigned char>(ch)));
        keys.push_back(std::move(k));
    }
    return keys;
}

template <typename Compare>
void sortOrder(std::vector<std::size_t>& order, bool descending, Compare compare) {
    // Descending inverts the comparison, not the result: equal rows keep their order either way.
    if (descending)
        std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return compare(y, x) < 0; });
    else
        std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return compare(x, y) < 0; });
}

}  // namespace

bool SortByColumn(ResultList& list, int position) {
    const std::vector<Column> columns = list.columns();
    if (list.busy || position < 0 || position >= static_cast<int>(columns.size())) return false;
    const std::size_t c = static_cast<std::size_t>(position);
    bool flag = list.sortDescending[c];
    list.sortDescending.fill(false);
    list.sortDescending[c] = flag;
    list.sortColumn = position;

    const std::vector<ResultItem>& rows = list.rows();
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const Column column = columns[c];
    if (column == Column::Found) {
        sortOrder(order, flag, [&](std::size_t x, std::size_t y) {
            return compareCounts(rows[x].firstCount, rows[y].firstCount);
        });
    } else if (column == Column::Size) {
        sortOrder(order, flag, [&](std::size_t x, std::size_t y) { return compareOptional(rows[x].bytes, rows[y].bytes); });
    } else if (column == Column::Time) {
        sortOrder(order, flag,
                  [&](std::size_t x, std::size_t y) { return compareOptional(rows[x].lastWrite, rows[y].lastWrite); });
    } else {
        const std::vector<std::string> keys = foldedTexts(rows, column);
        sortOrder(order, flag, [&](std::size_t x, std::size_t y) { return keys[x].compare(keys[y]); });
    }

    // The current and browsed rows are followed by their identity, not their old index.
    std::vector<long long> newIndex(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) newIndex[order[i]] = static_cast<long long>(i);
    auto follow = [&](long long old) -> long long {
        if (old < 0) return old;
        return old < static_cast<long long>(newIndex.size()) ? newIndex[static_cast<std::size_t>(old)] : -1;
    };
    long long current = follow(list.currentIndex);
    long long browsed = follow(list.browsedIndex);
    list.reorder(order);
    list.currentIndex = current;
    list.browsedIndex = browsed;

    list.sortDescending[c] = !list.sortDescending[c];
    return true;
}

}  // namespace vsr::results
