#include "results/row_sort.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vsr::results {

namespace {

unsigned char foldAscii(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

// A row's sort key, kept side by side with the others so the sort touches no row at all. Text
// columns keep their first sixteen folded bytes (after the prefix every key shares) as two
// numbers and compare the rest of the folded text only on a tie.
struct Key {
    std::uint64_t high;
    std::uint64_t low;
    std::uint32_t row;
    std::uint32_t start;   // the rest of the folded text, for ties
    std::uint32_t length;
};

// Signed values mapped onto unsigned order.
std::uint64_t ordered(std::int64_t v) { return static_cast<std::uint64_t>(v) ^ (std::uint64_t{1} << 63); }

std::uint64_t valueOf(const ResultItem& r, Column c) {
    switch (c) {
        case Column::Found: return r.firstCount < 0 ? 0 : ordered(r.firstCount);
        case Column::Size: return r.bytes ? ordered(static_cast<std::int64_t>(*r.bytes)) : 0;
        case Column::Time: return r.lastWrite ? ordered(r.lastWrite->time_since_epoch().count()) : 0;
        default: return 0;
    }
}

// The folded texts of one column, end to end in one buffer.
struct FoldedTexts {
    std::string bytes;
    std::vector<std::uint32_t> starts;  // one more than rows: the end of the last text
    std::string_view at(std::size_t row) const {
        return std::string_view(bytes).substr(starts[row], starts[row + 1] - starts[row]);
    }
};

FoldedTexts foldedTexts(const ResultList& list, Column c) {
    FoldedTexts t;
    const std::size_t n = list.count();
    t.starts.reserve(n + 1);
    t.bytes.reserve(n * 32);
    // One pass over rows that lie wherever they were made, in an order a sort left: the row a
    // few steps ahead, and then its text, are asked for before they are needed.
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 2 * kAhead < n) __builtin_prefetch(&list.row(i + 2 * kAhead));
        if (i + kAhead < n) __builtin_prefetch(list.row(i + kAhead).text(c).data());
        t.starts.push_back(static_cast<std::uint32_t>(t.bytes.size()));
        const std::string& text = list.row(i).text(c);
        const std::size_t at = t.bytes.size();
        t.bytes += text;
        for (std::size_t k = at; k < t.bytes.size(); ++k)
            t.bytes[k] = static_cast<char>(foldAscii(static_cast<unsigned char>(t.bytes[k])));
    }
    t.starts.push_back(static_cast<std::uint32_t>(t.bytes.size()));
    return t;
}

std::size_t commonPrefix(const FoldedTexts& t, std::size_t rows) {
    if (rows == 0) return 0;
    std::string_view first = t.at(0);
    std::size_t n = first.size();
    for (std::size_t r = 1; r < rows && n > 0; ++r) {
        std::string_view s = t.at(r);
        std::size_t k = 0;
        const std::size_t limit = std::min(n, s.size());
        while (k < limit && s[k] == first[k]) ++k;
        n = k;
    }
    return n;
}

// Eight bytes from `from` as a big-endian number, zero-padded: number order is byte order.
std::uint64_t bytesNumber(std::string_view text, std::size_t from) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const std::size_t at = from + i;
        v = (v << 8) | (at < text.size() ? static_cast<unsigned char>(text[at]) : 0u);
    }
    return v;
}

}  // namespace

bool SortByColumn(ResultList& list, int position) {
    const std::vector<Column> columns = list.columns();
    if (list.busy || position < 0 || position >= static_cast<int>(columns.size())) return false;
    const std::size_t c = static_cast<std::size_t>(position);
    const bool descending = list.sortDescending[c];
    list.sortDescending.fill(false);
    list.sortDescending[c] = descending;
    list.sortColumn = position;

    const Column column = columns[c];
    const bool byText = column != Column::Found && column != Column::Size && column != Column::Time;
    const std::size_t n = list.count();
    FoldedTexts texts;
    std::size_t skip = 0;
    if (byText) {
        texts = foldedTexts(list, column);
        skip = commonPrefix(texts, n);
    }
    std::vector<Key> keys(n);
    for (std::size_t i = 0; i < n; ++i) {
        Key& k = keys[i];
        k.row = static_cast<std::uint32_t>(i);
        if (byText) {
            const std::string_view text = texts.at(i);
            k.high = bytesNumber(text, skip);
            k.low = bytesNumber(text, skip + 8);
            const std::size_t rest = std::min(text.size(), skip + 16);
            k.start = texts.starts[i] + static_cast<std::uint32_t>(rest);
            k.length = static_cast<std::uint32_t>(text.size() - rest);
        } else {
            if (i + 16 < n) __builtin_prefetch(&list.row(i + 16));
            k.high = valueOf(list.row(i), column);
            k.low = 0;
            k.start = k.length = 0;
        }
    }
    const char* bytes = texts.bytes.data();
    // -1, 0 or 1 for the rows' column values, the row order left aside.
    auto compareValues = [bytes](const Key& a, const Key& b) -> int {
        if (a.high != b.high) return a.high < b.high ? -1 : 1;
        if (a.low != b.low) return a.low < b.low ? -1 : 1;
        if (a.length == 0 && b.length == 0) return 0;
        const int r = std::memcmp(bytes + a.start, bytes + b.start, std::min(a.length, b.length));
        if (r != 0) return r < 0 ? -1 : 1;
        return a.length < b.length ? -1 : (a.length > b.length ? 1 : 0);
    };
    // Equal rows keep their order in either direction, as a stable sort would leave them.
    if (descending) {
        std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
            const int r = compareValues(a, b);
            return r != 0 ? r > 0 : a.row < b.row;
        });
    } else {
        std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
            const int r = compareValues(a, b);
            return r != 0 ? r < 0 : a.row < b.row;
        });
    }

    std::vector<std::size_t> order(n);
    std::vector<long long> newIndex(n);
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = keys[i].row;
        newIndex[keys[i].row] = static_cast<long long>(i);
    }
    // The current and browsed rows are followed by their identity, not their old index.
    auto follow = [&](long long old) -> long long {
        if (old < 0) return old;
        return old < static_cast<long long>(n) ? newIndex[static_cast<std::size_t>(old)] : -1;
    };
    const long long current = follow(list.currentIndex);
    const long long browsed = follow(list.browsedIndex);
    list.reorder(order);
    list.currentIndex = current;
    list.browsedIndex = browsed;

    list.sortDescending[c] = !list.sortDescending[c];
    return true;
}

}  // namespace vsr::results
