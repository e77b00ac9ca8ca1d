#pragma once
#include <string>

#include "engine/query/regexpr_line_rule.h"
#include "engine/query/search_conditions.h"
#include "platform/code_page.h"
#include "regexpr/vx_regex.h"

namespace vsr::engine {

// A Reg Expr query as the listing, the Lines Viewer and modification run it: one expression
// under one rule, so a row's count, its highlights and its edits never disagree.
struct RegExprQuery {
    std::string expression;  // the query lines joined by CR LF, a leading ".*" anchored
    bool byLine = true;      // matched line by line rather than over the whole text
};

RegExprQuery regExprQuery(const SearchConditions& c);

// Gives `rx` the conditions' modifiers and the code page's case and word tables, then compiles
// `expression`. Throws regexpr::EVxRegex when the expression is wrong.
void compileRegExpr(regexpr::TVxRegex& rx, const SearchConditions& c, const platform::CodePage& page,
                    const std::string& expression);

}  // namespace vsr::engine
