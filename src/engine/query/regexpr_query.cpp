#include "engine/query/regexpr_query.h"

namespace vsr::engine {

RegExprQuery regExprQuery(const SearchConditions& c) {
    const std::vector<std::string>& lines = c.multiLineQuery();
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) joined += "\r\n";
        joined += lines[i];
    }
    RegExprQuery q;
    q.expression = anchoredExpression(joined);
    // The rule reads the expression as it is run, anchor included.
    q.byLine = matchesLineByLine(c, lines.size(), q.expression);
    return q;
}

void compileRegExpr(regexpr::TVxRegex& rx, const SearchConditions& c, const platform::CodePage& page,
                    const std::string& expression) {
    rx.SetModifier(1, !c.caseSensitive);  // i
    rx.SetModifier(3, c.dotMatchesAll);   // s
    rx.SetModifier(5, true);              // m
    rx.SetModifier(6, c.extendedSyntax);  // x
    rx.SetUtf8(page.isUtf8());
    rx.SetCaseTable(page.upperTable());
    regexpr::ByteTable word{};
    for (int b = 0; b < 256; ++b) word[static_cast<std::size_t>(b)] = page.isWordChar(static_cast<unsigned char>(b)) ? 1 : 0;
    rx.SetWordTable(word);
    rx.SetExpression(expression);
    rx.Compile();
}

}  // namespace vsr::engine
