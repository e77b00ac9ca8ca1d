// The automaton that finds where matches start must never change a result: every search is run
// again by the backtracker alone, and both must give the same matches and groups.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "random_expressions.h"
#include "regexpr/vx_regex.h"
#include "regexpr/vx_regex_error.h"

using vsr::regexpr::EVxRegex;
using vsr::regexpr::MatchInterrupted;
using vsr::regexpr::TVxRegex;
using vsr::test::ExpressionGenerator;
using vsr::test::record;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kAutomatonRounds = 1500;
#else
constexpr int kAutomatonRounds = 6000;
#endif

class AutomatonDifferential : public ::testing::TestWithParam<bool> {};

// VSR_REGEX_SEED picks another random series when hunting for differences by hand.
TEST_P(AutomatonDifferential, AutomatonAndBacktrackerAloneAgree) {
    const bool utf8 = GetParam();
    const unsigned seed = std::getenv("VSR_REGEX_SEED") ? std::atoi(std::getenv("VSR_REGEX_SEED")) : 27027;
    ExpressionGenerator gen(seed + (utf8 ? 1 : 0), utf8, false);
    int compared = 0, automaton = 0, failures = 0;
    for (int round = 0; round < kAutomatonRounds && failures < 10; ++round) {
        const unsigned mods = vsr::test::roundModifiers(round);
        const std::string pattern = gen.expression();
        TVxRegex fast, alone;
        for (TVxRegex* re : {&fast, &alone}) {
            re->SetUtf8(utf8);
            re->SetModifiers(mods);
            re->SetBacktrackLimit(200000);
            re->SetExpression(pattern);
        }
        alone.SetAutomaton(false);
        try {
            fast.Compile();
        } catch (const EVxRegex&) {
            continue;
        }
        if (!fast.UsesAutomaton()) continue;
        ++automaton;
        for (int k = 0; k < 3; ++k) {
            // Now and then a long subject, so that matches lie far apart and states pile up.
            std::string subject = gen.subject();
            if (k == 2) for (int more = gen.pick(0, 40); more > 0; --more) subject += gen.subject();
            const std::int64_t offset = gen.pick(1, static_cast<int>(subject.size()) + 1);
            const std::string a = record(fast, subject, offset), b = record(alone, subject, offset);
            // The backtracker alone may run out of its budget on starts the automaton passes by.
            if (b.find("error 1016") != std::string::npos) continue;
            ++compared;
            if (a != b && ++failures <= 10)
                ADD_FAILURE() << "pattern /" << pattern << "/ mods " << mods << (utf8 ? " utf8" : "") << " subject \""
                              << subject << "\" offset " << offset << "\n automaton: " << a << "\n alone:     " << b;
        }
    }
    // Most expressions of the series are ones the automaton takes.
    EXPECT_GT(automaton, kAutomatonRounds / 3);
    EXPECT_GT(compared, kAutomatonRounds);
}

INSTANTIATE_TEST_SUITE_P(Text, AutomatonDifferential, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? std::string("Utf8") : std::string("SingleByte"); });

// Which expressions the automaton takes: none that refers back to a group or repeats a piece
// holding a choice of its own (the backtracker's budget judges those), and no anchored one.
TEST(VxRegexAutomaton, TakesExpressionsWithoutBackReferencesOrRepeatedChoices) {
    struct Case {
        const char* pattern;
        bool taken;
    };
    const Case cases[] = {
        {"static\\s+int\\s+\\w+\\(", true}, {"(\\w+)\\s*=\\s*(\\w+);", true}, {"(mutex_lock|spin_lock)\\(", true},
        {"(ab)+c", true},  {"(ab){2,40}", true},  {"^x|y$", true},      {"x{1000}", true},
        {"(a|b)*c", false}, {"(\\w+\\s?)+", false}, {"(a?){300}", false}, {"(\\w+) \\1", false},
        {"\\Aabc", false},
    };
    for (const Case& c : cases) {
        TVxRegex re;
        re.SetExpression(c.pattern);
        re.Compile();
        EXPECT_EQ(re.UsesAutomaton(), c.taken) << c.pattern;
    }
}

// Spans where the backtracker's choice is not the longest one, and line rules at the edges of
// CR LF, over a text long enough to cross the automaton's polling blocks; each against the
// backtracker alone.
TEST(VxRegexAutomaton, LeftmostSpansAndLineRulesMatchTheBacktracker) {
    struct Case {
        const char* pattern;
        unsigned mods;
    };
    using vsr::regexpr::kModM;
    using vsr::regexpr::kModS;
    const Case cases[] = {
        {"a|ab|abc", 0},      {"x*?y", 0},         {"(a|ab)(c|bcd)", 0}, {"^\\w+$", kModM},  {"$", kModM},
        {"^", kModM},         {"^$", kModM},       {"b$", 0},           {"\\w+\\s*$", kModM}, {".+", 0},
        {"[^x]+", kModS},     {"a.{0,3}c", kModS}, {"(ab){2,3}?", 0},   {"c\\r?$", kModM}, {"\\d{3,5}", 0},
    };
    std::string text;
    std::mt19937 rng(7);
    const char* parts[] = {"ab", "abc", "c", "\r\n", "\n", "\r", "x", "y", "123456", " ", "bcd"};
    while (text.size() < 200000) text += parts[rng() % std::size(parts)];
    for (const Case& c : cases) {
        TVxRegex fast, alone;
        for (TVxRegex* re : {&fast, &alone}) {
            re->SetModifiers(vsr::regexpr::kDefaultModifiers | c.mods);
            re->SetExpression(c.pattern);
        }
        alone.SetAutomaton(false);
        fast.Compile();
        ASSERT_TRUE(fast.UsesAutomaton()) << c.pattern;
        EXPECT_EQ(record(fast, text, 100001), record(alone, text, 100001)) << c.pattern;
    }
}

// An expression whose automaton has more states than the cache holds ("a" twelve bytes from the
// end of what was read): the cache is emptied and built again as the text goes on, and the
// results stay the backtracker's.
TEST(VxRegexAutomaton, AFullCacheIsEmptiedWithoutChangingResults) {
    std::string text;
    std::mt19937 rng(11);
    for (int k = 0; k < 300000; ++k) text += "ab"[rng() % 2];
    text += "c";
    TVxRegex fast, alone;
    for (TVxRegex* re : {&fast, &alone}) re->SetExpression("a[ab]{12}c");
    alone.SetAutomaton(false);
    fast.Compile();
    ASSERT_TRUE(fast.UsesAutomaton());
    EXPECT_EQ(record(fast, text, 1), record(alone, text, 1));
}

// Stop reaches a search that the automaton runs through a long text: the one match ends at its
// very end, so nothing but the automaton reads the text before the host is asked.
TEST(VxRegexAutomaton, StopEndsALongScan) {
    const std::string text = std::string(128 << 20, 'a') + "c";
    TVxRegex re;
    re.SetExpression("a[ab]*c");
    re.Compile();
    ASSERT_TRUE(re.UsesAutomaton());
    int asked = 0;
    re.SetCancelHook([&] { return ++asked > 1000; });
    EXPECT_THROW(re.ExecView(text), MatchInterrupted);
    EXPECT_EQ(asked, 1);
}

}  // namespace
