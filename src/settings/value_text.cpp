#include "settings/value_text.h"

#include <charconv>

namespace vsr::settings {

std::optional<int> parseWholeNumber(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int ValueReader::integer(std::string_view name, int fallback) const {
    auto stored = store_.readString(key_, name);
    if (!stored) return fallback;
    return parseWholeNumber(*stored).value_or(fallback);
}

bool ValueReader::boolean(std::string_view name, bool fallback) const {
    auto stored = store_.readString(key_, name);
    if (!stored) return fallback;
    auto number = parseWholeNumber(*stored);
    return number ? *number != 0 : fallback;
}

std::string ValueReader::text(std::string_view name, const std::string& fallback) const {
    return store_.readString(key_, name).value_or(fallback);
}

}  // namespace vsr::settings
