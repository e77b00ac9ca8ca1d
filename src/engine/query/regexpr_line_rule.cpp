#include "engine/query/regexpr_line_rule.h"

namespace vsr::engine {

namespace {
bool has(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }
}  // namespace

bool matchesLineByLine(const SearchConditions& c, std::size_t queryLines, std::string_view e) {
    if (c.eachLineSeparately) return true;
    if (queryLines != 1) return false;
    for (std::string_view crossing : {"\\x0A", "\\n", "\\r", "\\x0D", "\\s", "\n", "\r", "\\Z", "\\A"})
        if (has(e, crossing)) return false;
    if (has(e, ".") && (has(e, "(?s)") || c.dotMatchesAll)) return false;
    if ((has(e, "^") || has(e, "$")) && has(e, "(?-m)")) return false;
    return true;
}

std::string anchoredExpression(std::string_view expression) {
    if (expression.starts_with(".*")) return "^" + std::string(expression);
    return std::string(expression);
}

}  // namespace vsr::engine
