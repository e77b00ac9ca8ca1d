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
#include "random_expressions.h"

using vsr::regexpr::EVxRegex;
using vsr::regexpr::TVxRegex;
using vsr::test::ExpressionGenerator;
using vsr::test::record;

namespace {

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
    ExpressionGenerator gen(seed + (utf8 ? 1 : 0), utf8);
    Tally tally;
    for (int round = 0; round < kShortcutRounds && tally.failures < 10; ++round) {
        const unsigned mods = vsr::test::roundModifiers(round);
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

namespace {

// Required literals of common letters only are found sixteen or thirty-two starts at a time by
// two of their bytes: over texts of those letters, with the literal at every place of a block,
// near the end and in either case, every match must be the plain search's.
TEST(VxRegexShortcuts, LiteralsOfCommonLettersAreFoundWhereverTheyStand) {
    const char* const patterns[] = {"static", "static\\s+int", "(?i)static", "tea\\w*", "[an]+rain", "(?i)nine;"};
    std::mt19937 rng(5150);
    for (int round = 0; round < 60; ++round) {
        std::string text;
        const std::size_t length = 40 + rng() % 3000;
        static const char* const kWords[] = {"static", "STATIC int", "rain", "Nine;", "\n"};
        while (text.size() < length) {
            const unsigned pick = rng() % 24;
            text += pick < std::size(kWords) ? std::string(kWords[pick]) : std::string(1, "staicneor "[rng() % 10]);
        }
        for (const char* pattern : patterns) {
            TVxRegex fast, plain;
            for (TVxRegex* re : {&fast, &plain}) re->SetExpression(pattern);
            plain.SetScanShortcuts(false);
            fast.Compile();
            ASSERT_FALSE(fast.CompiledProgram()->required.empty()) << pattern;
            const std::int64_t offset = 1 + static_cast<std::int64_t>(rng() % 40);
            EXPECT_EQ(record(fast, text, offset), record(plain, text, offset)) << pattern << " round " << round;
        }
    }
}

}  // namespace
