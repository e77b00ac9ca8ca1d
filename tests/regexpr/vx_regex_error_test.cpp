// Every compilation error with its code, its position and its exact message; execution errors.
#include <gtest/gtest.h>

#include <string>

#include "regexpr/vx_regex.h"

using vsr::regexpr::EVxRegex;
using vsr::regexpr::TVxRegex;

namespace {

struct ErrorCase {
    std::string pattern;
    const char* mods;
    int code;
    int position;
};

const ErrorCase kErrors[] = {
    {"(abc", "", 103, 1},
    {"ab(c(d)", "", 103, 3},
    {"abc)", "", 104, 4},
    {"a**", "", 107, 3},
    {"a{2}*", "", 107, 5},
    {"a*??", "", 107, 4},
    {"*a", "", 115, 1},
    {"a|+b", "", 115, 3},
    {"({2})", "", 115, 2},
    {"(a*)*", "", 106, 5},
    {"(a|)+", "", 106, 5},
    {"^*", "", 106, 2},
    {"(?i)*", "", 115, 5},
    {"\\x", "", 111, 2},
    {"\\xZ1", "", 108, 3},
    {"\\x4", "", 111, 2},
    {"\\x{}", "", 111, 3},
    {"\\x{123}", "", 112, 6},
    {"\\x{4g}", "", 108, 5},
    {"[z-a]", "", 109, 4},
    {"[\xE0-\xDF]", "-r", 109, 4},
    {"[abc", "", 113, 1},
    {"[]", "", 113, 1},
    {"[a\\", "", 110, 3},
    {"ab\\", "", 116, 3},
    {"a{123456789}", "", 122, 2},
    {"a{3,2}", "", 124, 2},
    {"(?#no end", "", 125, 1},
    {"(?q)", "", 127, 3},
    {"(?:a)", "", 127, 3},
    {"(?i", "", 127, 1},
    {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)(o)", "", 102, 43},
    {"a # (", "x", 0, 0},  // a comment hides the parenthesis
};

TEST(VxRegexErrors, CompilationErrorsCarryCodeAndPosition) {
    for (const ErrorCase& c : kErrors) {
        TVxRegex re;
        for (const char* m = c.mods; *m; ++m) {
            if (*m == '-') { re.SetModifier(std::string("irsgmx").find(m[1]) + 1, false); ++m; continue; }
            re.SetModifier(std::string("irsgmx").find(*m) + 1, true);
        }
        re.SetExpression(c.pattern);
        try {
            re.Compile();
            EXPECT_EQ(c.code, 0) << c.pattern << " compiled";
        } catch (const EVxRegex& e) {
            EXPECT_EQ(e.code(), c.code) << c.pattern << ": " << e.what();
            EXPECT_EQ(e.position(), c.position) << c.pattern << ": " << e.what();
            EXPECT_EQ(re.ProgramCode().size(), 0u) << "a failed compilation leaves no program";
        }
    }
}

TEST(VxRegexErrors, MessagesHaveTheOriginPrefixAndPosition) {
    TVxRegex re;
    re.SetExpression("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)(o)");
    try {
        re.Compile();
        FAIL();
    } catch (const EVxRegex& e) {
        EXPECT_STREQ(e.what(), "TVxRegex(comp): ParseReg Too Many () (pos 43)");
        EXPECT_EQ(std::string(e.what()).substr(16), "ParseReg Too Many () (pos 43)");
    }
    re.SetExpression("");
    try {
        re.Exec("x");
        FAIL();
    } catch (const EVxRegex& e) {
        EXPECT_EQ(e.code(), 100);
        EXPECT_STREQ(e.what(), "TVxRegex(comp): Null Argument (pos 0)");
    }
}

TEST(VxRegexErrors, ExecutionErrors) {
    auto codeOf = [](auto&& action) {
        try {
            action();
        } catch (const EVxRegex& e) {
            return e.code();
        }
        return 0;
    };
    TVxRegex re;
    re.SetExpression("a");
    EXPECT_EQ(codeOf([&] { re.ExecPos(1); }), 1005);
    EXPECT_EQ(codeOf([&] { re.ExpandTemplate("$1"); }), 1005);
    EXPECT_EQ(codeOf([&] { re.ExecNext(); }), 1007);
    re.Exec("b");
    EXPECT_EQ(codeOf([&] { re.ExecNext(); }), 1007);
    EXPECT_EQ(codeOf([&] { re.ExecPos(0); }), 1006);
    EXPECT_EQ(codeOf([&] { re.SetModifier(7, true); }), 1013);
    EXPECT_EQ(codeOf([&] { re.SetLinePairedSeparator("abc"); }), 128);
    try {
        re.ExecPos(0);
    } catch (const EVxRegex& e) {
        EXPECT_STREQ(e.what(), "TVxRegex(exec): Offset Must Be Greater Then 0");
        EXPECT_EQ(e.position(), 0);
    }
}

TEST(VxRegexErrors, ElevenNestedLoopsExceedTheLoopStack) {
    // Eleven brace loops, each on a group that holds the next.
    std::string nested = "a";
    for (int k = 0; k < 11; ++k) nested = "(" + nested + "){1}";
    TVxRegex re;
    re.SetExpression(nested);
    try {
        re.Exec("a");
        FAIL() << "eleven nested loops ran";
    } catch (const EVxRegex& e) {
        EXPECT_EQ(e.code(), 1014);
        EXPECT_STREQ(e.what(), "TVxRegex(exec): Loop Stack Exceeded");
    }
    nested = "a";
    for (int k = 0; k < 10; ++k) nested = "(" + nested + "){1}";
    re.SetExpression(nested);
    EXPECT_TRUE(re.Exec("a"));
}

TEST(VxRegexErrors, ModifierChangeRecompiles) {
    TVxRegex re;
    re.SetExpression("abc");
    EXPECT_FALSE(re.Exec("ABC"));
    re.SetModifier(1, true);
    EXPECT_TRUE(re.Exec("ABC"));
}

}  // namespace
