#include "results/row_sort.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <numeric>
#include <string>

namespace vsr::results {

namespace {

char foldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

int sign(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

// Numbers that can't be read sort before every readable one, so emptied rows gather at one end.
int compareOptional(const std::optional<double>& a, const std::optional<double>& b) {
    if (a && b) return sign(*a, *b);
    if (!a && !b) return 0;
    return a ? 1 : -1;
}

std::optional<double> parseNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::string s(text.substr(i));
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str()) return std::nullopt;
    return v;
}

// Hours, minutes and optional seconds, with AM/PM where the locale uses them.
std::optional<int> readTimeOfDay(std::string_view text) {
    int parts[3] = {0, 0, 0};
    int count = 0;
    std::size_t i = 0;
    while (i < text.size() && count < 3) {
        if (text[i] >= '0' && text[i] <= '9') {
            int value = 0;
            auto [p, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
            if (ec != std::errc()) return std::nullopt;
            parts[count++] = value;
            i = static_cast<std::size_t>(p - text.data());
        } else {
            ++i;
        }
    }
    if (count < 2) return std::nullopt;
    bool pm = false, am = false;
    for (std::size_t k = 0; k + 1 < text.size(); ++k) {
        char c = foldAscii(text[k]), d = foldAscii(text[k + 1]);
        if (d == 'M' || d == '.') {
            if (c == 'P') pm = true;
            if (c == 'A') am = true;
        }
    }
    int h = parts[0];
    if (pm && h < 12) h += 12;
    if (am && h == 12) h = 0;
    if (h > 23 || parts[1] > 59 || parts[2] > 60) return std::nullopt;
    return h * 3600 + parts[1] * 60 + parts[2];
}

}  // namespace

int compareTextNoCase(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(foldAscii(a[i]));
        unsigned char y = static_cast<unsigned char>(foldAscii(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::optional<double> foundNumber(std::string_view text) {
    // Only the digits at the start count: "3, 1, 2" is 3 and "12,..." is 12.
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t j = i;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
    if (j == i) return std::nullopt;
    return parseNumber(text.substr(i, j - i));
}

std::optional<double> sizeNumber(std::string_view text) {
    if (text.size() < 3) return std::nullopt;
    std::string number(text.substr(0, text.size() - 3));
    if (auto comma = number.find(','); comma != std::string::npos) number[comma] = '.';
    return parseNumber(number);
}

std::optional<std::int64_t> readTimeText(std::string_view text, const platform::LocaleFormats& formats) {
    // Some formats pad with a second blank; one blank separates date and time either way.
    std::string t(text);
    for (std::size_t p; (p = t.find("  ")) != std::string::npos;) t.erase(p, 1);
    // A short date may hold blanks itself ("8. 12. 2026"), so each blank is tried in turn.
    for (std::size_t blank = t.find(' '); blank != std::string::npos; blank = t.find(' ', blank + 1)) {
        auto date = formats.parseShortDate(std::string_view(t).substr(0, blank));
        if (!date) continue;
        auto secs = readTimeOfDay(std::string_view(t).substr(blank + 1));
        if (!secs) continue;
        using namespace std::chrono;
        sys_days day{year{date->year} / month{static_cast<unsigned>(date->month)} /
                     std::chrono::day{static_cast<unsigned>(date->day)}};
        return static_cast<std::int64_t>(day.time_since_epoch().count()) * 86400 + *secs;
    }
    return std::nullopt;
}

int compareRows(const ResultList& list, const ResultItem& a, const ResultItem& b, int position,
                const TimeTextReader& readTime) {
    std::vector<Column> cols = list.columns();
    if (position < 0 || position >= static_cast<int>(cols.size())) return 0;
    Column c = cols[static_cast<std::size_t>(position)];
    int result = 0;
    if (position == 0) {
        result = compareTextNoCase(a.name, b.name);
    } else {
        const std::string& ta = a.text(c);
        const std::string& tb = b.text(c);
        result = compareTextNoCase(ta, tb);
        // The caption decides, because the columns shift while Found is absent.
        const std::string caption = list.columnCaption(c);
        if (caption == "Found") {
            result = compareOptional(foundNumber(ta), foundNumber(tb));
        } else if (caption == "Size") {
            result = compareOptional(sizeNumber(ta), sizeNumber(tb));
        } else if (caption == "Time" && readTime) {
            auto va = readTime(ta), vb = readTime(tb);
            if (va && vb) result = *va < *vb ? -1 : (*va > *vb ? 1 : 0);
            else if (va || vb) result = va ? 1 : -1;
        }
    }
    if (position < kColumnCount && list.sortDescending[static_cast<std::size_t>(position)]) result = -result;
    return result;
}

bool SortByColumn(ResultList& list, int position, const TimeTextReader& readTime) {
    if (list.busy || position < 0 || position >= static_cast<int>(list.columns().size())) return false;
    const std::size_t c = static_cast<std::size_t>(position);
    bool flag = list.sortDescending[c];
    list.sortDescending.fill(false);
    list.sortDescending[c] = flag;
    list.sortColumn = position;

    // The current and browsed rows are followed by their identity, not their old index.
    const std::vector<ResultItem>& rows = list.rows();
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        return compareRows(list, rows[x], rows[y], position, readTime) < 0;
    });
    auto newIndexOf = [&](long long old) -> long long {
        if (old < 0) return old;
        auto it = std::find(order.begin(), order.end(), static_cast<std::size_t>(old));
        return it == order.end() ? -1 : static_cast<long long>(it - order.begin());
    };
    long long current = newIndexOf(list.currentIndex);
    long long browsed = newIndexOf(list.browsedIndex);
    list.reorder(order);
    list.currentIndex = current;
    list.browsedIndex = browsed;

    list.sortDescending[c] = !list.sortDescending[c];
    return true;
}

}  // namespace vsr::results
