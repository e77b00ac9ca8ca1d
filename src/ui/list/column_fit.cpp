#include "ui/list/column_fit.h"

#include <algorithm>

namespace vsr::ui {

namespace {

int widthAt(const ColumnNeed& c, int cap) {
    if (c.fixed) return c.current;
    return std::max(std::min(c.floor, c.wanted), std::min(c.wanted, cap));
}

int totalAt(const std::vector<ColumnNeed>& columns, int cap) {
    int sum = 0;
    for (const ColumnNeed& c : columns) sum += widthAt(c, cap);
    return sum;
}

}  // namespace

std::vector<int> shareColumnWidths(const std::vector<ColumnNeed>& columns, int available) {
    int widest = 0;
    for (const ColumnNeed& c : columns) widest = std::max(widest, c.wanted);
    // The largest common cap that still fits; the total only grows with the cap.
    int low = 0, high = widest;
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (totalAt(columns, mid) <= available) low = mid;
        else high = mid - 1;
    }
    std::vector<int> widths;
    widths.reserve(columns.size());
    for (const ColumnNeed& c : columns) widths.push_back(widthAt(c, low));
    return widths;
}

}  // namespace vsr::ui
