// The literals every match must hold: what is found for typical expressions, and, over random
// expressions and texts, that every match the plain search finds holds one of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "regexpr/vx_regex.h"

namespace vsr::regexpr {
namespace {

std::vector<std::string> literalsOf(TVxRegex& re) {
    re.Compile();
    std::vector<std::string> out;
    for (const RequiredLiteral& l : re.RequiredLiterals()) out.push_back((l.ignoreCase ? "i:" : "") + l.bytes);
    std::sort(out.begin(), out.end());
    return out;
}

TEST(RequiredLiterals, AreFoundWhereEveryWayPassesThem) {
    struct Case {
        const char* expression;
        std::vector<std::string> literals;
    };
    const Case cases[] = {
        {"[a-z]+_lock\\(", {"_lock("}},
        {"\\w+_SUSPEND", {"_SUSPEND"}},
        {"static\\s+int\\s+\\w+\\(", {"static"}},
        {"(\\w+)\\s*=\\s*(\\w+);", {"="}},
        {"(spin_lock|mutex_lock|kfree)\\(", {"kfree", "mutex_lock", "spin_lock"}},
        {"foo|bar", {"bar", "foo"}},
        {"x(abc)+", {"abc"}},            // inside a repeat that runs at least once
        {"(abc){0,2}d", {"d"}},           // a repeat that may not run holds no requirement
        {"(ab)?c", {"c"}},
        {"(foo|ba)\\w*(quux|zap)", {"quux", "zap"}},  // the last ones beat the first
        {"(?i)Abc", {"i:Abc"}},
        {"a*", {}},
        {"a|b*", {}},                     // one way holds no literal
        {"\\w+", {}},
        {"(a|b|c|d|e|f|g|h|i)x{2}", {}},  // nine alternatives are too many
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        TVxRegex re;
        re.SetModifier(5, true);
        re.SetExpression(c.expression);
        EXPECT_EQ(literalsOf(re), c.literals);
    }
}

// Expressions from a small grammar over few letters, so that literals, alternatives, repeats
// and groups mix and match often.
std::string randomExpression(std::mt19937& rng, int depth = 0) {
    static const char* const kAtoms[] = {"a", "b", "ab", "ba", "abc", "c", "x", ".", "[ab]", "[^a]", "\\w", "\\s",
                                         "\\d", "B", "A", "^", "$", "\\n", "ca", "bb"};
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
        static const char* const kQuantifiers[] = {"", "", "", "*", "+", "?", "{2}", "{0,2}", "{1,3}?", "*?", "+?"};
        const char* q = kQuantifiers[rng() % (sizeof kQuantifiers / sizeof *kQuantifiers)];
        out += atom;
        if (atom != "^" && atom != "$") out += q;
    }
    if (depth == 0 && rng() % 5 == 0) out += "|" + randomExpression(rng, 1);
    return out;
}

std::string randomText(std::mt19937& rng) {
    static const char kBytes[] = "aabbcxAB \r\n1";
    std::string text;
    for (int n = static_cast<int>(rng() % 40); n > 0; --n) text += kBytes[rng() % (sizeof kBytes - 1)];
    return text;
}

bool holdsAt(std::string_view text, std::size_t at, const RequiredLiteral& l) {
    if (at + l.bytes.size() > text.size()) return false;
    for (std::size_t k = 0; k < l.bytes.size(); ++k)
        if (text[at + k] != l.bytes[k] && !(l.ignoreCase && text[at + k] == l.otherCase[k])) return false;
    return true;
}

TEST(RequiredLiterals, EveryMatchOfThePlainSearchHoldsOne) {
    std::mt19937 rng(20261210);
    int withLiterals = 0, matches = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::string expression = randomExpression(rng);
        TVxRegex re;
        re.SetModifier(1, rng() % 3 == 0);  // i
        re.SetModifier(3, rng() % 2 == 0);  // s
        re.SetModifier(5, true);            // m
        re.SetScanShortcuts(false);
        re.SetBacktrackLimit(100000);
        re.SetExpression(expression);
        try {
            re.Compile();
        } catch (const EVxRegex&) {
            continue;  // "*" on what may be empty, and the like
        }
        const std::vector<RequiredLiteral> literals = re.RequiredLiterals();
        if (literals.empty()) continue;
        ++withLiterals;
        for (int t = 0; t < 5; ++t) {
            const std::string text = randomText(rng);
            try {
                for (bool found = re.Exec(text); found; found = re.ExecNext()) {
                    const std::size_t s = static_cast<std::size_t>(re.MatchStart(0) - 1);
                    const std::size_t e = s + static_cast<std::size_t>(re.MatchLength(0));
                    bool holds = false;
                    for (std::size_t at = s; at < e && !holds; ++at)
                        for (const RequiredLiteral& l : literals)
                            holds = holds || (at + l.bytes.size() <= e && holdsAt(text, at, l));
                    ++matches;
                    ASSERT_TRUE(holds) << "expression " << expression << " text \"" << text << "\" match at " << s;
                }
            } catch (const EVxRegex&) {
            }
        }
    }
    // The random series must exercise the check, not skip it.
    EXPECT_GT(withLiterals, 1000);
    EXPECT_GT(matches, 1000);
}

}  // namespace
}  // namespace vsr::regexpr
