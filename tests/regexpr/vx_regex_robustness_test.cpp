// Hostile expressions and inputs: no crash, no stack overflow, Stop always ends a match.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>

#include "regexpr/vx_regex.h"

using vsr::regexpr::EVxRegex;
using vsr::regexpr::MatchInterrupted;
using vsr::regexpr::TVxRegex;
using Clock = std::chrono::steady_clock;

namespace {

TEST(VxRegexRobustness, CatastrophicBacktrackingEndsWhenTheHostSaysStop) {
    TVxRegex re;
    int asked = 0;
    auto began = Clock::now();
    re.SetCancelHook([&] {
        ++asked;
        return Clock::now() - began < std::chrono::milliseconds(200);
    });
    // Only the host ends this match: on a fast machine the step budget would end it first.
    re.SetBacktrackLimit(std::uint64_t{1} << 60);
    re.SetStepLimit(std::uint64_t{1} << 60);
    // Every way to split the a's is tried before "$" fails; no scan shortcut spares that.
    re.SetExpression("(a|aa)+[bc]$");
    EXPECT_THROW(re.Exec(std::string(60, 'a') + "cb"), MatchInterrupted);
    EXPECT_GE(asked, 2);
    EXPECT_LT(Clock::now() - began, std::chrono::seconds(5));
    // The engine stays usable after an interruption.
    re.SetCancelHook({});
    EXPECT_TRUE(re.Exec("aab"));
    EXPECT_EQ(re.MatchLength(0), 3);
}

TEST(VxRegexRobustness, HookIsAskedAtMostEvery25Milliseconds) {
    TVxRegex re;
    std::vector<Clock::time_point> calls;
    re.SetCancelHook([&] {
        calls.push_back(Clock::now());
        return calls.size() < 5;
    });
    // Only the host ends this match: on a fast machine the step budget would end it first.
    re.SetBacktrackLimit(std::uint64_t{1} << 60);
    re.SetStepLimit(std::uint64_t{1} << 60);
    re.SetExpression("(a|aa)+[bc]$");
    EXPECT_THROW(re.Exec(std::string(60, 'a') + "cb"), MatchInterrupted);
    ASSERT_EQ(calls.size(), 5u);
    for (std::size_t k = 1; k < calls.size(); ++k)
        EXPECT_GE(calls[k] - calls[k - 1], std::chrono::milliseconds(25));
}

TEST(VxRegexRobustness, LongInputsNeedNoMachineStack) {
    std::string text(300000, 'a');
    TVxRegex re;
    re.SetExpression("(a|b)*c|(ab?)+$");
    ASSERT_TRUE(re.Exec(text));
    EXPECT_EQ(re.MatchLength(0), 300000);
    re.SetExpression("(a){1,}?$");
    ASSERT_TRUE(re.Exec(text));
    EXPECT_EQ(re.MatchLength(0), 300000);
}

TEST(VxRegexRobustness, BacktrackLimitRaisesAClearError) {
    std::string text(3000000, 'a');
    TVxRegex re;
    re.SetExpression("(a|b)*\\d");
    try {
        re.Exec(text);
        FAIL() << "three million open choices were kept";
    } catch (const EVxRegex& e) {
        EXPECT_EQ(e.code(), 1016);
        EXPECT_EQ(std::string(e.what()).substr(0, 16), "TVxRegex(exec): ");
    }
}

// Nobody may be there to press Stop: the engine's own budget ends an exponential match.
TEST(VxRegexRobustness, ExponentialBacktrackingEndsAsTooComplex) {
    TVxRegex re;
    re.SetModifier(5, true);  // m, as every search sets it
    re.SetExpression("^(a+)+$");
    try {
        re.Exec(std::string(30, 'a') + "!");
        FAIL() << "the match ran to its end";
    } catch (const EVxRegex& e) {
        EXPECT_EQ(e.code(), 1016);
        EXPECT_STREQ(e.what(), "TVxRegex(exec): Expression Too Complex For This Text");
        EXPECT_EQ(e.position(), 0);
    }
    EXPECT_EQ(re.MatchStart(0), -1);
    ASSERT_TRUE(re.Exec(std::string(30, 'a')));
    EXPECT_EQ(re.MatchLength(0), 30);
}

// The budget belongs to one Exec or ExecNext and grows a little with each start position it
// tries: an exponential attempt exhausts it, while many cheap matches, or one search through a
// long text that goes back a few times at every position, never add up to an error.
TEST(VxRegexRobustness, BacktrackBudgetIsPerCallAndGrowsWithTheText) {
    TVxRegex re;
    EXPECT_EQ(re.BacktrackLimit(), 10000000u);
    TVxRegex::SetDefaultBacktrackLimit(1000);
    EXPECT_EQ(TVxRegex().BacktrackLimit(), 1000u);
    TVxRegex::SetDefaultBacktrackLimit(10000000);
    re.SetBacktrackLimit(1000);
    re.SetExpression("(a|aa)+[bc]$");
    try {
        re.Exec(std::string(30, 'a') + "cb");
        FAIL() << "an exponential attempt fit a budget of a thousand";
    } catch (const EVxRegex& e) {
        EXPECT_EQ(e.code(), 1016);
    }
    re.SetExpression("(a|aa)+b");
    int matches = 0;
    std::string runs;
    for (int k = 0; k < 2000; ++k) runs += "aaaaaab ";
    for (bool found = re.Exec(runs); found; found = re.ExecNext()) ++matches;
    EXPECT_EQ(matches, 2000);
    // Doubled words: none among 200000, so one call scans the whole text, going back once or
    // twice at each position to give the two blanks after a word back one by one.
    std::string words;
    for (int k = 0; k < 200000; ++k) words += "w" + std::to_string(k % 977) + "  ";
    re.SetExpression("(\\w+)\\s+\\1 ");
    EXPECT_FALSE(re.Exec(words));
}

// Expressions that walk hundreds of nodes between two choices: counting choices alone let them
// run for a minute on a line of 40 letters. The default budget of steps ends each within about a
// second; the hook only fails the test instead of letting it hang.
TEST(VxRegexRobustness, StepBudgetEndsLongWalksBetweenChoices) {
    struct Case {
        const char* expression;
        std::size_t letters;
    };
    for (const Case& c : {Case{"(a?){300}a{300}", 40}, Case{"(a?){600}a{600}", 599}}) {
        SCOPED_TRACE(std::string(c.expression) + " on " + std::to_string(c.letters) + " letters");
        TVxRegex re;
        re.SetBacktrackLimit(std::uint64_t{1} << 60);
        const auto began = Clock::now();
        re.SetCancelHook([&] { return Clock::now() - began < std::chrono::seconds(20); });
        re.SetExpression(c.expression);
        try {
            re.Exec(std::string(c.letters, 'a'));
            FAIL() << "matched";
        } catch (const EVxRegex& e) {
            EXPECT_EQ(e.code(), 1016);
        } catch (const MatchInterrupted&) {
            FAIL() << "still running after 20 s";
        }
    }
}

// With a shared budget the calls a caller makes on one text (a file's lines) draw on one budget
// until ResetBudget, so a file of many lines each just within a budget of its own ends as too
// complex instead of costing a budget per line. Without it every call starts afresh.
TEST(VxRegexRobustness, SharedStepBudgetSpansCallsUntilReset) {
    const std::string line = std::string(20, 'a') + "cb";  // about 700,000 steps, no match
    for (bool shared : {false, true}) {
        SCOPED_TRACE(shared ? "shared" : "per call");
        TVxRegex re;
        re.SetBacktrackLimit(std::uint64_t{1} << 60);
        re.SetStepLimit(1'000'000);
        re.SetSharedBudget(shared);
        re.SetExpression("(a|aa)+[bc]$");
        for (int round = 0; round < 2; ++round) {
            re.ResetBudget();
            EXPECT_FALSE(re.Exec(line));
            if (shared) {
                try {
                    re.Exec(line);
                    FAIL() << "two lines fit one budget";
                } catch (const EVxRegex& e) {
                    EXPECT_EQ(e.code(), 1016);
                }
            } else {
                for (int k = 0; k < 5; ++k) EXPECT_FALSE(re.Exec(line));
            }
        }
    }
}

TEST(VxRegexRobustness, LongExpressionsCompileAndRun) {
    std::string pattern;
    for (int k = 0; k < 20000; ++k) pattern += k % 2 ? "a?" : "(?#c)[ab]";
    pattern += "$";
    TVxRegex re;
    re.SetExpression(pattern);
    ASSERT_TRUE(re.Exec(std::string(20000, 'a')));
    EXPECT_EQ(re.MatchLength(0), 20000);
}

// Random bytes drawn mostly from the expression syntax, compiled and run with random modifiers
// over random subjects; every outcome must be a result or an EVxRegex. Runs in the sanitizer build.
TEST(VxRegexRobustness, RandomCompileAndMatchLoop) {
    std::mt19937 rng(424242);
    const std::string alphabet = "ab()[]{}|*+?\\^$.-#,0129xdDsSwWAZtnr?:i-m ";
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto began = Clock::now();
    int rounds = 0;
    for (; rounds < 40000 && Clock::now() - began < std::chrono::seconds(3); ++rounds) {
        std::string pattern;
        int len = 1 + pick(24);
        for (int k = 0; k < len; ++k)
            pattern += pick(10) == 0 ? static_cast<char>(pick(256)) : alphabet[pick(static_cast<int>(alphabet.size()))];
        std::string subject;
        int slen = pick(40);
        for (int k = 0; k < slen; ++k)
            subject += pick(4) == 0 ? static_cast<char>(pick(256)) : "ab01 \r\n_{"[pick(10)];
        TVxRegex re;
        re.SetModifiers(static_cast<unsigned>(pick(64)));
        if (pick(4) == 0) re.SetLinePairedSeparator("");
        auto started = Clock::now();
        re.SetCancelHook([&] { return Clock::now() - started < std::chrono::milliseconds(50); });
        re.SetExpression(pattern);
        try {
            int matches = 0;
            for (bool found = re.Exec(subject); found && matches < 100; found = re.ExecNext()) {
                ++matches;
                ASSERT_GE(re.MatchStart(0), 1);
                ASSERT_LE(re.MatchStart(0) + re.MatchLength(0), static_cast<long long>(re.InputString().size()) + 1);
                re.ExpandTemplate("$0$1${2}$&\\$x$");
            }
        } catch (const EVxRegex& e) {
            ASSERT_GT(e.code(), 0);
        } catch (const MatchInterrupted&) {
        }
    }
    EXPECT_GT(rounds, 500);
}

}  // namespace
