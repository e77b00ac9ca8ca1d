// Fuzz target: a Reg Expr query with the required-literal skips against the same query with
// every line and text handed to the engine. Input layout: one byte of options (1: case matters,
// 2: "." matches line ends, 4: UTF-8, 8: each line on its own, 16: the expression's first LF
// splits it into two query lines), the expression up to the first byte 0x01, then the text.
// Any difference in the spans, groups, ends or errors is a failure, except that a text the
// engine could not finish may be one the skips never hand it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/query/compiled_query.h"
#include "regexpr/vx_regex.h"

namespace {

std::string scanned(vsr::engine::QueryMatcher& m, std::string_view text) {
    std::string out;
    int visits = 0;
    const vsr::engine::ScanEnd end = m.scan(text, [&](const vsr::engine::MatchSpan& s) {
        out += std::to_string(s.line) + ":" + std::to_string(s.column) + "+" + std::to_string(s.length) + "/" +
               std::to_string(s.lines) + "@" + std::to_string(s.offset) + m.expand("[$0][$1][$2][$3]") + ";";
        return ++visits < 2000;
    });
    out += "end " + std::to_string(static_cast<int>(end));
    if (end == vsr::engine::ScanEnd::ExpressionError) out += m.error().message;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // Budgets far below the program's keep every input quick.
    vsr::regexpr::TVxRegex::SetDefaultStepLimit(300000);
    vsr::regexpr::TVxRegex::SetDefaultBacktrackLimit(100000);
    const std::uint8_t options = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t cut = rest.find('\x01');
    if (cut == std::string_view::npos || cut == 0 || cut > 200) return 0;
    std::string expression(rest.substr(0, cut));
    const std::string_view text = rest.substr(cut + 1);

    vsr::engine::SearchConditions c;
    c.queryType = vsr::engine::QueryType::RegExpr;
    c.caseSensitive = options & 1;
    c.dotMatchesAll = options & 2;
    c.textEncoding = (options & 4) ? vsr::platform::CodePageId::Utf8 : vsr::platform::CodePageId::Windows1252;
    c.eachLineSeparately = options & 8;
    const std::size_t lf = expression.find('\n');
    if ((options & 16) && lf != std::string::npos) {
        c.findLines = {expression.substr(0, lf), expression.substr(lf + 1)};
    } else {
        c.findLines = {expression};
    }
    vsr::engine::CompiledQuery q(c);
    if (!q.runnable()) return 0;
    auto plain = q.matcher({}, false);
    auto fast = q.matcher({}, true);
    if (!plain || !fast) __builtin_trap();
    const std::string want = scanned(*plain, text);
    const std::string got = scanned(*fast, text);
    if (got != want && !(want.find("end 2") != std::string::npos && got == "end 0")) __builtin_trap();
    return 0;
}
