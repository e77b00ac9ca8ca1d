// An expression that can't tell line ends apart is counted over the text as it is, not over a copy
// with every line end made CR LF: for every such expression the two must have as many matches.
#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

#include "regexpr/vx_regex.h"
#include "regexpr/vx_regex_error.h"

using vsr::regexpr::EVxRegex;
using vsr::regexpr::TVxRegex;

namespace {

// The text as the whole-text search sees it: each line end (LF, CR or CR LF) made CR LF.
std::string withCrLf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (text[i] == '\n' || text[i] == '\r') out += "\r\n";
        else out += text[i];
    }
    return out;
}

// Non-empty matches, as the listing counts them; an error counts as its code, negated.
long long countMatches(TVxRegex& re, const std::string& text) {
    long long n = 0;
    try {
        for (bool found = re.ExecView(text); found; found = re.ExecNext())
            if (re.MatchLength(0) > 0) ++n;
    } catch (const EVxRegex& e) {
        return -e.code();
    }
    return n;
}

bool compiles(TVxRegex& re, const std::string& expression, unsigned mods, bool utf8) {
    re.SetUtf8(utf8);
    re.SetModifiers(mods);
    re.SetExpression(expression);
    try {
        re.Compile();
    } catch (const EVxRegex&) {
        return false;
    }
    return true;
}

// Expressions of the shapes a search of source code uses, white space and line ends among their
// pieces in every kind of repeat, so that as many are refused as are taken.
std::string shapedExpression(std::mt19937& rng, int depth = 0) {
    static const char* const kAtoms[] = {"static", "int", "x", "=", ";", "\\(", "\\s", "\\s", "\\w", "[ \\t]",
                                         "[^x]", "[\\s;]", ".", "\\S", "\\W", "\\d", "\\r", "\\n", "$", "^", "[^=]"};
    static const char* const kRepeats[] = {"", "", "+", "+", "*", "?", "{2,}", "{1,}", "{0,}", "{1,3}", "+?", "*?"};
    std::string out;
    for (int k = 1 + static_cast<int>(rng() % 5); k > 0; --k) {
        std::string atom;
        if (depth < 2 && rng() % 6 == 0) {
            atom = "(" + shapedExpression(rng, depth + 1);
            if (rng() % 3 == 0) atom += "|" + shapedExpression(rng, depth + 1);
            atom += ")";
        } else {
            atom = kAtoms[rng() % std::size(kAtoms)];
        }
        out += atom;
        if (atom != "^" && atom != "$") out += kRepeats[rng() % std::size(kRepeats)];
    }
    return out;
}

std::string shapedText(std::mt19937& rng) {
    static const char* const kPieces[] = {"static", "int", "x", "=", ";", "(", " ", " ", "\t", "\n", "\r\n", "\r",
                                          "\n\n", "\r\n\r\n", "ab", "1", "\xC3\xA9"};
    std::string text;
    for (int k = static_cast<int>(rng() % 30); k > 0; --k) text += kPieces[rng() % std::size(kPieces)];
    return text;
}

TEST(LineEndsAlike, TakenExpressionsCountAsManyMatchesWithEitherLineEnds) {
    std::mt19937 rng(5151);
    int taken = 0, refused = 0, failures = 0;
    for (int round = 0; round < 4000 && failures < 10; ++round) {
        const bool utf8 = round % 2 != 0;
        const unsigned mods = vsr::regexpr::kModM | vsr::regexpr::kModR | vsr::regexpr::kModG |
                              ((round & 2) ? vsr::regexpr::kModI : 0u) | ((round & 4) ? vsr::regexpr::kModS : 0u);
        const std::string expression = shapedExpression(rng);
        TVxRegex re;
        if (!compiles(re, expression, mods, utf8)) continue;
        if (!re.CompiledProgram()->lineEndsAlike) {
            ++refused;
            continue;
        }
        ++taken;
        for (int t = 0; t < 6; ++t) {
            const std::string text = shapedText(rng);
            const long long raw = countMatches(re, text), crLf = countMatches(re, withCrLf(text));
            if (raw != crLf) {
                ADD_FAILURE() << "expression " << expression << " mods " << mods << " utf8 " << utf8 << " text \""
                              << text << "\": " << raw << " matches as it is, " << crLf << " with CR LF";
                ++failures;
                break;
            }
        }
    }
    // Both answers must be common, or the comparison proves little.
    EXPECT_GT(taken, 300);
    EXPECT_GT(refused, 300);
}

TEST(LineEndsAlike, TheUsualSearchesOfSourceCodeAreTaken) {
    struct Row {
        const char* expression;
        bool alike;
    };
    const Row rows[] = {
        {"static\\s+int\\s+\\w+\\(", true},
        {"(\\w+)\\s*=\\s*(\\w+);", true},
        {"if\\s*\\(", true},
        {"\\s+", false},              // its end is where the text ends, or a CR LF is two runs of one
        {"a\\s{2,}b", false},         // CR LF is two characters where LF is one
        {"a\\s+?b", false},           // a lazy repeat keeps its choices
        {"a\\s+\\sb", false},         // gives one character back to what follows
        {"a\\r?\\nb", false},         // names the line end
        {"a\\s*$", false},            // a line test
        {"a[^;]*;", true},            // takes every line end up to the ";", whatever their form
    };
    for (const Row& r : rows) {
        TVxRegex re;
        ASSERT_TRUE(compiles(re, r.expression, vsr::regexpr::kModM | vsr::regexpr::kModR | vsr::regexpr::kModG, true));
        EXPECT_EQ(re.CompiledProgram()->lineEndsAlike, r.alike) << r.expression;
    }
}

}  // namespace
