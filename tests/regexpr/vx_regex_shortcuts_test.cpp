// The scan shortcuts (start sets, the required literal, runs skipped after a failed start,
// repeats that keep no choice) must never change a result: every search is run again the plain
// way, trying every position with every choice kept, and both must give the same matches and
// groups.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "regexpr/vx_regex.h"
#include "regexpr/vx_regex_error.h"

using vsr::regexpr::EVxRegex;
using vsr::regexpr::TVxRegex;

namespace {

// Expressions built to meet the shortcuts: groups around repeats at the start, literals on the
// top level that become required, classes of characters that run into each other, lazy and
// bounded repeats, anchors, back-references and inline case folding.
class ShortcutGenerator {
public:
    ShortcutGenerator(unsigned seed, bool utf8) : rng_(seed), utf8_(utf8) {}

    std::string expression() {
        groups_ = 0;
        closed_.clear();
        // Often a repeat opens the match, as in the assignment shape "(\w+)\s*=".
        std::string lead;
        if (pick(0, 9) < 3) {
            static const char* const kLeads[] = {"\\w+", "\\w*", "[a-c_]+", "\\s{2,}", "a+", "\\W+", ".+", "[^=;]*"};
            lead = kLeads[pick(0, std::size(kLeads) - 1)];
            if (pick(0, 1)) lead = "(" + lead + ")", closed_.push_back(++groups_);
        }
        return lead + alternation(0);
    }

    std::string subject() {
        static const char* const kBytes[] = {"a", "b", "ab", "A", "B", "1", "_", " ", " ", "=", ";", "=",
                                             "x", "\n", "\r\n", "\t", "(", "\xE9", "\xC9", "\xDF"};
        static const char* const kUtf8[] = {"a", "b", "ab", "A", "1", "_", " ", "=", ";", "x", "\n", "\r\n",
                                            "\xC3\xA9", "\xC3\x89", "\xC3\x9F", "\xCE\xA3", "\xCF\x83", "\xE2\x82\xAC",
                                            "\xF0\x9F\x98\x80", "\x80", "\xC3"};
        std::string s;
        const int n = pick(0, 24);
        for (int k = 0; k < n; ++k) s += utf8_ ? kUtf8[pick(0, std::size(kUtf8) - 1)] : kBytes[pick(0, std::size(kBytes) - 1)];
        return s;
    }

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

private:
    std::string alternation(int depth) {
        std::string s = branch(depth);
        while (pick(0, 9) < (depth ? 4 : 2)) s += "|" + branch(depth);
        return s;
    }
    std::string branch(int depth) {
        std::string s;
        const int n = pick(1, 5);
        for (int k = 0; k < n; ++k) s += piece(depth);
        return s;
    }
    std::string piece(int depth) {
        std::string s = atom(depth);
        if (s == "^" || s == "$" || s == "\\A" || s == "\\Z" || s == "(?i)" || s == "(?-i)") return s;
        if (pick(0, 9) < 5) {
            static const char* const kQuant[] = {"*", "+", "+", "?", "{2}", "{2,}", "{1,}", "{0,2}", "{1,3}"};
            s += kQuant[pick(0, std::size(kQuant) - 1)];
            if (pick(0, 9) < 3) s += "?";
        }
        return s;
    }
    std::string atom(int depth) {
        switch (pick(0, 24)) {
        case 0: case 1: case 2: return std::string(1, "abx"[pick(0, 2)]);
        case 3: return "=";
        case 4: return ";";
        case 5: return "ab";
        case 6: return "\\w";
        case 7: return "\\s";
        case 8: return "\\d";
        case 9: return "\\W";
        case 10: return "[a-c_]";
        case 11: return "[^=;]";
        case 12: return ".";
        case 13: return utf8_ ? "\xC3\xA9" : "\xE9";
        case 14: case 15: case 16: case 17:
            if (depth < 3 && groups_ < 6) {
                const int number = ++groups_;
                std::string group = "(" + alternation(depth + 1) + ")";
                closed_.push_back(number);
                return group;
            }
            return "\\w";
        case 18:
            if (!closed_.empty()) return "\\" + std::to_string(closed_[pick(0, closed_.size() - 1)]);
            return "b";
        case 19: return "^";
        case 20: return "$";
        case 21: return pick(0, 1) ? "\\A" : "\\Z";
        case 22: return pick(0, 1) ? "(?i)" : "(?-i)";
        case 23: return "[=;\\s]";
        default: return "A";
        }
    }

    std::mt19937 rng_;
    bool utf8_;
    int groups_ = 0;
    std::vector<int> closed_;
};

// Every match of an ExecNext loop with all its groups, then a search from a later offset; an
// error ends the record with its code.
std::string record(TVxRegex& re, const std::string& subject, std::int64_t offset) {
    std::string out;
    auto spans = [&] {
        for (int g = 0; g <= re.CompiledProgram()->groupCount; ++g)
            out += std::to_string(re.MatchStart(g)) + "," + std::to_string(re.MatchLength(g)) + " ";
        out += "|";
    };
    try {
        int n = 0;
        for (bool found = re.Exec(subject); found && n < 200; found = re.ExecNext(), ++n) spans();
        out += "/";
        if (re.ExecPos(offset)) spans();
    } catch (const EVxRegex& e) {
        out += "error " + std::to_string(e.code());
    }
    return out;
}

struct Round {
    std::string pattern;
    unsigned mods;
    bool utf8;
};

struct Tally {
    int compared = 0, failures = 0;
    int runSkips = 0, required = 0;  // programs that use these shortcuts
};

void compareOn(const Round& r, const std::string& subject, std::int64_t offset, Tally& tally) {
    TVxRegex fast, plain;
    for (TVxRegex* re : {&fast, &plain}) {
        re->SetUtf8(r.utf8);
        re->SetModifiers(r.mods);
        re->SetBacktrackLimit(200000);
        re->SetExpression(r.pattern);
    }
    plain.SetScanShortcuts(false);
    try {
        fast.Compile();
    } catch (const EVxRegex&) {
        return;  // refused expressions are the error tests' business
    }
    const std::string a = record(fast, subject, offset), b = record(plain, subject, offset);
    // The plain way may run out of its budget where the shortcuts spare the work; nothing else
    // may differ.
    if (b.find("error 1016") != std::string::npos || a.find("error 1016") != std::string::npos) return;
    ++tally.compared;
    tally.runSkips += fast.CompiledProgram()->runSkipNode != 0;
    tally.required += !fast.CompiledProgram()->required.empty();
    if (a != b && ++tally.failures <= 10)
        ADD_FAILURE() << "pattern /" << r.pattern << "/ mods " << r.mods << (r.utf8 ? " utf8" : "") << " subject \""
                      << subject << "\" offset " << offset << "\n fast:  " << a << "\n plain: " << b;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr int kShortcutRounds = 1500;
#else
constexpr int kShortcutRounds = 6000;
#endif

class ShortcutsDifferential : public ::testing::TestWithParam<bool> {};

// VSR_REGEX_SEED picks another random series when hunting for differences by hand.
TEST_P(ShortcutsDifferential, PlainAndShortcutSearchesAgree) {
    const bool utf8 = GetParam();
    const unsigned seed = std::getenv("VSR_REGEX_SEED") ? std::atoi(std::getenv("VSR_REGEX_SEED")) : 15015;
    ShortcutGenerator gen(seed + (utf8 ? 1 : 0), utf8);
    Tally tally;
    for (int round = 0; round < kShortcutRounds && tally.failures < 10; ++round) {
        // i, s, g and m in every combination; r stays on.
        const unsigned mods = vsr::regexpr::kModR | ((round & 1) ? vsr::regexpr::kModI : 0u) |
                              ((round & 2) ? vsr::regexpr::kModS : 0u) | ((round & 4) ? vsr::regexpr::kModG : 0u) |
                              ((round & 8) ? vsr::regexpr::kModM : 0u);
        const Round r{gen.expression(), mods, utf8};
        for (int k = 0; k < 3; ++k) {
            const std::string subject = gen.subject();
            compareOn(r, subject, gen.pick(1, static_cast<int>(subject.size()) + 1), tally);
        }
    }
    EXPECT_GT(tally.compared, kShortcutRounds);
    // The series must meet the shortcuts often enough to test them.
    EXPECT_GT(tally.runSkips, tally.compared / 20);
    EXPECT_GT(tally.required, tally.compared / 20);
}

INSTANTIATE_TEST_SUITE_P(Text, ShortcutsDifferential, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? std::string("Utf8") : std::string("SingleByte"); });

struct ShortcutCase {
    const char* pattern;
    bool utf8;
    std::string subject;
    std::string expected;  // "start:text" of every match of an ExecNext loop, 1-based, joined by " "
};

std::string matches(TVxRegex& re, const std::string& subject) {
    std::string out;
    for (bool found = re.Exec(subject); found; found = re.ExecNext()) {
        if (!out.empty()) out += " ";
        out += std::to_string(re.MatchStart(0)) + ":" + std::string(re.Match(0));
    }
    return out;
}

// Starts inside a run that a leading repeat took: skipped only when they would fail the same way.
const ShortcutCase kRunCases[] = {
    // A repeat of zero or more may match empty where the run ends.
    {"\\w*=", false, "ab =", "4:="},
    {"(\\w*)=", false, "ab=cd", "1:ab="},
    // A minimum the rest of the run cannot reach, then one it can.
    {"\\w{3,}-", false, "ab-abc-", "4:abc-"},
    // A back-reference sees the group's start, so every start in the run counts.
    {"(\\w+) \\1", false, "ab b", "2:b b"},
    {"(\\w+)-\\1;", false, "xab-b;", "3:b-b;"},
    // Only a repeat that opens the match: after a literal, a later start may lead into a new run.
    {"a=\\w*;", false, "a=a=b;", "3:a=b;"},
    // Bytes a match may hold before its required literal, in either case under i.
    {"(?i)ab\\s*==", false, "x AB == aB==", "3:AB == 9:aB=="},
    {"[a-c1]+[^a]b", false, "1xb ca1b", "1:1xb 5:ca1b"},
    // Lazy and alternative leads keep every start.
    {"(\\w+?)=", false, "ab=", "1:ab="},
    {"(a+|ab)c", false, "aabc", "2:abc"},
    // A repeat that gives characters back: a later start can stop only where an earlier could.
    {"(\\w+)\\w;", false, "abc; d; de;", "1:abc; 9:de;"},
    {"(a+)+b", false, "aaac aab", "6:aab"},
    // The assignment shape, with groups in groups, and over the characters of UTF-8 text.
    {"((\\w+))\\s*=\\s*(\\w+);", false, "if (a == b) x = y; z=1;", "13:x = y; 20:z=1;"},
    {"(\\w+)\\s*=\\s*(\\w+);", true, "\xC3\xA9t\xC3\xA9 = \xCE\xA3\xCF\x83; \xE2\x82\xAC=1;",
     "1:\xC3\xA9t\xC3\xA9 = \xCE\xA3\xCF\x83;"},
    {"(\\w+)=", true, "\xC3\xA9\xC3\xA9 x=", "6:x="},
};

TEST(VxRegexShortcuts, RunsAreSkippedOnlyWhereTheyFailTheSameWay) {
    for (const ShortcutCase& c : kRunCases) {
        for (bool shortcuts : {true, false}) {
            TVxRegex re;
            re.SetUtf8(c.utf8);
            re.SetScanShortcuts(shortcuts);
            re.SetExpression(c.pattern);
            EXPECT_EQ(matches(re, c.subject), c.expected) << c.pattern << " on \"" << c.subject << "\""
                                                          << (shortcuts ? "" : " (plain)");
        }
    }
}

TEST(VxRegexShortcuts, GroupsOfAMatchFoundAfterSkippedRunsAreItsOwn) {
    TVxRegex re;
    re.SetExpression("(\\w+)\\s*=\\s*(\\w+);");
    ASSERT_TRUE(re.Exec("foo(bar, baz) = 1; count = total;"));
    EXPECT_EQ(re.Match(0), "count = total;");
    EXPECT_EQ(re.Match(1), "count");
    EXPECT_EQ(re.Match(2), "total");
    EXPECT_FALSE(re.ExecNext());
}

// No start after the last place of a literal every match holds is tried: a text that has it
// only before the start position fails at once, however costly the attempts would have been.
TEST(VxRegexShortcuts, NoStartIsTriedPastTheLastRequiredLiteral) {
    TVxRegex re;
    re.SetBacktrackLimit(1000);
    re.SetExpression("(a|aa)+b");
    EXPECT_FALSE(re.Exec("b" + std::string(40, 'a')));
    ASSERT_TRUE(re.Exec(std::string(3, 'a') + "b" + std::string(40, 'a')));
    EXPECT_EQ(re.Match(0), "aaab");
    EXPECT_FALSE(re.ExecNext());
    // The plain way pays for every start and runs out of its budget.
    re.SetScanShortcuts(false);
    EXPECT_THROW(re.Exec("b" + std::string(40, 'a')), EVxRegex);
}

// A byte the match cannot hold before its required literal ends the room for a start: the
// costly starts in front of it are never tried.
TEST(VxRegexShortcuts, StartsCutOffFromTheRequiredLiteralAreNotTried) {
    TVxRegex re;
    re.SetBacktrackLimit(1000);
    re.SetExpression("(a|aa)+b");
    const std::string text = std::string(40, 'a') + "c" + "aab";
    ASSERT_TRUE(re.Exec(text));
    EXPECT_EQ(re.MatchStart(0), 42);
    EXPECT_EQ(re.Match(0), "aab");
    re.SetScanShortcuts(false);
    EXPECT_THROW(re.Exec(text), EVxRegex);
}

}  // namespace
