// Skipping text without a required literal never changes what a Reg Expr query finds: random
// expressions over random texts give the same spans, groups, ends and errors with the skips as
// with every line and text handed to the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "backtrack_limit_guard.h"
#include "engine/query/compiled_query.h"
#include "engine/query/regexpr_query.h"

namespace vsr::engine {
namespace {

std::string randomExpression(std::mt19937& rng, int depth = 0) {
    static const char* const kAtoms[] = {"lock", "_lock", "un", "spin", "\\(", "=", ";", "\\w", "\\s", "[a-z]",
                                         "[^_]", ".", "\\d", "Lock", "é", "ж", "^", "$", "x", "(?i)"};
    std::string out;
    const int pieces = 1 + static_cast<int>(rng() % 4);
    for (int p = 0; p < pieces; ++p) {
        std::string atom;
        if (depth < 2 && rng() % 4 == 0) {
            atom = "(" + randomExpression(rng, depth + 1);
            for (int alt = static_cast<int>(rng() % 3); alt > 0; --alt) atom += "|" + randomExpression(rng, depth + 1);
            atom += ")";
        } else {
            atom = kAtoms[rng() % (sizeof kAtoms / sizeof *kAtoms)];
        }
        out += atom;
        static const char* const kQuantifiers[] = {"", "", "", "*", "+", "?", "{2}", "{0,2}", "*?", "+?"};
        if (atom != "^" && atom != "$" && atom != "(?i)") out += kQuantifiers[rng() % (sizeof kQuantifiers / sizeof *kQuantifiers)];
    }
    if (depth == 0 && rng() % 4 == 0) out += "|" + randomExpression(rng, 1);
    return out;
}

std::string randomSkipText(std::mt19937& rng) {
    static const char* const kWords[] = {"spin_lock(", "mutex_unlock(", "x = y;", "LOCK", "lock", " ", "_", "é",
                                         "ж", "Ж", "42", "(", "=;", "un", "\t"};
    static const char* const kEnds[] = {"\n", "\r\n", "\r"};
    std::string text;
    const bool lfOnly = rng() % 3 == 0;
    for (int n = static_cast<int>(rng() % 30); n > 0; --n) {
        text += kWords[rng() % (sizeof kWords / sizeof *kWords)];
        if (rng() % 4 == 0) text += lfOnly ? "\n" : kEnds[rng() % 3];
    }
    if (rng() % 8 == 0) text.insert(rng() % (text.size() + 1), 1, '\0');
    return text;
}

// The whole text as the engine must see it: the lines up to the first NUL, each followed by
// CR LF where the file has a line end.
std::string crLfText(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.find('\r', at));
        out.append(text.substr(at, end - at));
        if (end == std::string_view::npos) break;
        out += "\r\n";
        at = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return out;
}

// Everything a scan hands out, with the groups as a replacement template sees them; over the
// whole text, each span's offset is checked to point into the CR LF text.
std::string scanned(QueryMatcher& m, std::string_view text, bool byLine) {
    std::string out;
    const std::string whole = byLine ? std::string() : crLfText(text);
    const ScanEnd end = m.scan(text, [&](const MatchSpan& s) {
        if (!byLine) {
            EXPECT_EQ(m.input(), whole);
        }
        out += std::to_string(s.line) + ":" + std::to_string(s.column) + "+" + std::to_string(s.length) + "/" +
               std::to_string(s.lines) + "@" + std::to_string(s.offset) + " " +
               m.expand("[$0][$1][$2][$3]") + "\n";
        return true;
    });
    out += "end " + std::to_string(static_cast<int>(end));
    if (end == ScanEnd::ExpressionError) out += " " + m.error().message;
    return out;
}

TEST(RegExprLiteralSkips, GiveTheSameResultsAsTheEngineAlone) {
    test::StepLimitGuard steps(2'000'000);
    std::mt19937 rng(36);
    int withLiterals = 0, found = 0, fromLiteralLine = 0;
    for (int round = 0; round < 1500; ++round) {
        SearchConditions c;
        c.queryType = QueryType::RegExpr;
        c.findLines = {randomExpression(rng)};
        if (rng() % 6 == 0) c.findLines.push_back(randomExpression(rng));  // over the whole text
        c.caseSensitive = rng() % 2;
        c.dotMatchesAll = rng() % 4 == 0;
        c.eachLineSeparately = rng() % 5 == 0;
        c.textEncoding = rng() % 2 ? platform::CodePageId::Utf8 : platform::CodePageId::Windows1251;
        CompiledQuery q(c);
        if (!q.runnable()) continue;
        std::unique_ptr<QueryMatcher> plain = q.matcher({}, false);
        std::unique_ptr<QueryMatcher> fast = q.matcher({}, true);
        ASSERT_TRUE(plain && fast);
        for (int t = 0; t < 6; ++t) {
            const std::string text = randomSkipText(rng);
            const std::string want = scanned(*plain, text, q.byLine());
            const std::string got = scanned(*fast, text, q.byLine());
            found += want.find('\n') != std::string::npos;
            // A text the engine could not finish may be one the skips never hand it.
            if (want.find("end 2") != std::string::npos && got == "end 0") continue;
            ASSERT_EQ(got, want) << "expression " << c.findLines[0] << (c.findLines.size() > 1 ? " / " + c.findLines[1] : "")
                                 << (c.caseSensitive ? "" : " (ignore case)") << " text \"" << text << "\"";
            // The listing's count (over the whole text, from the line of the first literal where
            // no match can begin before it) is the number of spans the engine alone hands out.
            std::vector<std::int64_t> counts;
            const ScanEnd counted = fast->count(text, counts, true);
            const std::string tally = "end " + std::to_string(static_cast<int>(counted));
            if (counted != ScanEnd::ExpressionError || want.find("end 2") == std::string::npos) {
                ASSERT_EQ(tally, want.substr(want.rfind("end "), tally.size())) << c.findLines[0] << " text \"" << text << "\"";
            }
            if (counted == ScanEnd::Done) {
                std::int64_t spans = 0;
                plain->scan(text, [&](const MatchSpan&) { return ++spans, true; });
                ASSERT_EQ(counts.at(0), spans) << c.findLines[0] << " text \"" << text << "\"";
            }
        }
        regexpr::TVxRegex rx;
        compileRegExpr(rx, c, q.codePage(), q.expression());
        withLiterals += !rx.RequiredLiterals().empty();
        fromLiteralLine += !q.byLine() && rx.CompiledProgram()->startsInRequiredLine;
    }
    // The series must both skip and find, and often count from the line of a literal.
    EXPECT_GT(withLiterals, 500);
    EXPECT_GT(found, 1000);
    EXPECT_GT(fromLiteralLine, 50);
}

}  // namespace
}  // namespace vsr::engine
