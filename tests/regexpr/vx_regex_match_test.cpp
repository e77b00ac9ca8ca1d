// Table-driven cases: pattern, modifiers, subject and the expected matches of an ExecNext loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regexpr/vx_regex.h"

using vsr::regexpr::TVxRegex;

namespace {

struct Case {
    const char* pattern;
    const char* mods;     // letters switched on ("i", "m", "x"); "-s", "-g", "-r" switch off
    std::string subject;
    const char* expected;  // "start,len;start,len" of every match, or "" for none
};

void applyMods(TVxRegex& re, const std::string& mods) {
    bool on = true;
    for (char c : mods) {
        if (c == '-') { on = false; continue; }
        int index = std::string("irsgmx").find(c) + 1;
        re.SetModifier(index, on);
        on = true;
    }
}

std::string allMatches(TVxRegex& re, const std::string& subject) {
    std::string out;
    for (bool found = re.Exec(subject); found; found = re.ExecNext()) {
        if (!out.empty()) out += ";";
        out += std::to_string(re.MatchStart(0)) + "," + std::to_string(re.MatchLength(0));
    }
    return out;
}

const Case kCases[] = {
    // Escapes and literals.
    {"a\\b", "", "ab", "1,2"},
    {"\\x41\\x{42}", "", "xABy", "2,2"},
    {"\\t\\n", "", "a\t\nb", "2,2"},
    {"{x", "", "{x", "1,2"},
    {"a{,2}", "", "a{,2}", "1,5"},
    {"a}", "", "a}", "1,2"},
    {"abc", "", "xxabcabc", "3,3;6,3"},
    {"abc", "i", "ABC aBc", "1,3;5,3"},
    // Quantifiers.
    {"x{2,3}", "", "xxxx", "1,3"},
    {"x{2,3}?", "", "xxxx", "1,2;3,2"},
    {"x{2}", "", "xxxxx", "1,2;3,2"},
    {"x{2,}", "", "xxxxx", "1,5"},
    {"ab*", "", "abbbc a", "1,4;7,1"},
    {"ab+?", "", "abbb", "1,2"},
    {"ab*?c", "", "abbbc", "1,5"},
    {"ab?", "", "ab a", "1,2;4,1"},
    {"a.*b", "", "a1b2b3", "1,5"},
    {"a.*?b", "", "a1b2b3", "1,3"},
    {"a.*b", "-g", "a1b2b3", "1,3"},
    {"a.*?b", "-g", "a1b2b3", "1,3"},
    {"(ab)+", "", "ababab", "1,6"},
    {"(ab)*c", "", "ababc c", "1,5;7,1"},
    {"(a|bc)+d", "", "abcad", "1,5"},
    {"(ab)+?", "", "ababab", "1,2;3,2;5,2"},
    {"(ab){2,3}", "", "abababab", "1,6"},
    {"(ab){2,3}?", "", "abababab", "1,4;5,4"},
    {"(ab)??a", "", "aba", "1,1;3,1"},
    {"(ab)?a", "", "aba", "1,3"},
    {"(a?){3,}b", "", "aab", "1,3"},
    {"(^.{0,2}){2}", "m", "2b", "1,2"},  // a bounded loop may repeat after an empty iteration
    {"(a?){2,}?b", "", "ab", "1,2"},
    {"(a|b){0}c", "", "ac", "2,1"},
    // Classes.
    {"[a-c]+", "", "xabcdcba", "2,3;6,3"},
    {"[a-c]", "i", "B", "1,1"},
    {"[^a-c]+", "", "abxyzc", "3,3"},
    {"[]a]+", "", "x]a]", "2,3"},
    {"[^]]+", "", "ab]c", "1,2;4,1"},
    {"[-a]+", "", "x-a-", "2,3"},
    {"[a-]+", "", "x-a-", "2,3"},
    {"[\\d_]+", "", "ab1_2c", "3,3"},
    {"[\\D]+", "", "aDDb", "2,2"},
    {"[\\x41-\\x43]+", "", "zABCD", "2,3"},
    {"[xyz]+", "", "axyzzyb", "2,5"},
    {"[^xyz]", "", "xay", "2,1"},
    {"\\d+\\D", "", "ab12c34", "3,3"},
    {"\\w+", "", "hi, you_2!", "1,2;5,5"},
    {"\\W+", "", "hi, you", "3,2"},
    {"\\s+", "", "a \t\r\nb", "2,4"},
    {"\\S+", "", " ab  c ", "2,2;6,1"},
    // Anchors and lines.
    {"^a", "", "aaa", "1,1"},
    {"a$", "", "aa\r\na", "5,1"},
    {"a$", "", "a\r\n", ""},
    {"a$", "m", "a\r\na\r\n", "1,1;4,1"},
    {"^a", "m", "a\r\na\nab", "1,1;4,1;6,1"},
    {"$", "m", "a\r\nb", "2,0;5,0"},
    {"^", "m", "a\r\nb", "1,0;4,0"},
    {"\\Aa", "m", "a\na", "1,1"},
    {"a\\Z", "m", "a\na", "3,1"},
    {"a.b", "-s", "a\nb a\rb axb", "9,3"},
    {"a.b", "", "a\nb", "1,3"},
    {"a.+", "-s", "abc\r\nd", "1,3"},
    // Groups and back-references.
    {"(a)(b)?\\1", "", "aa", "1,2"},
    {"(\\w)\\1", "", "abccd", "3,2"},
    {"(\\w)\\1", "i", "aBbc", "2,2"},
    {"(a)|\\1b", "", "b", ""},
    // Inline modifiers and comments.
    {"(?i)abc", "", "ABC", "1,3"},
    {"a(?i)b", "", "aB AB", "1,2"},
    {"(a(?i)b)c", "", "aBc aBC", "1,3"},
    {"a(?#comment)b", "", "ab", "1,2"},
    {"(?x) a b # c", "", "ab", "1,2"},
    {"a b", "x", "ab a b", "1,2"},
    {"[ ]", "x", "a b", "2,1"},
    {"(?-s)a.b", "", "a\nb", ""},
    {"(?m)^b", "", "a\nb", "3,1"},
    // Empty matches end ExecNext loops.
    {"x*", "", "axb", "1,0;2,1;3,0;4,0"},
    {"$", "", "ab", "3,0"},
    {"a|", "", "ba", "1,0;2,1;3,0"},
    // Repeats that must give characters back, and ones that never need to.
    {"\\d+\\d", "", "a123", "2,3"},
    {"[ab]*b", "", "aab", "1,3"},
    {"\\w+\\s*=\\s*\\w+;", "", "x = y; ab=cd;", "1,6;8,6"},
    {"(\\w+)\\s*=", "", "a b =", "3,3"},
    {"[a-z]+_lock\\(", "", "spin_lock(x) my_lock (", "1,10"},
    // A failed start inside a run of the leading repeat's characters stands for the whole run.
    {"\\w+;", "", "ab cd; e;", "4,3;8,2"},
    {"(\\d+)x", "", "12 345x 6x", "4,4;9,2"},
    {"[ab]*c", "", "abab abc c", "6,3;10,1"},
    // Required literals, in either case under i.
    {"SPIN_LOCK", "i", "spin_lock Spin_Lock SPIN_LOK", "1,9;11,9"},
    // The required literal's probe byte in one case only, then in both, across ExecNext calls.
    {"abc", "i", "abc xyz abc xyz abc", "1,3;9,3;17,3"},
    {"abc", "i", "abc ABC xbc aBc AbC", "1,3;5,3;13,3;17,3"},
    {"a+_LOCK", "i", "xaa_lock a_Lock", "2,7;10,6"},
    {"^static\\s+int", "", "static  int x", "1,11"},
    {"^static\\s+int", "", " static int x", ""},
    // Alternatives.
    {"cat|dog", "", "a dog and a cat", "3,3;13,3"},
    {"1|\\D", "", "1a", "1,1;2,1"},
    {"(a|ab)(c|bcd)", "", "abcd", "1,4"},
};

TEST(VxRegexMatch, TableOfCases) {
    for (const Case& c : kCases) {
        TVxRegex re;
        applyMods(re, c.mods);
        re.SetExpression(c.pattern);
        EXPECT_EQ(allMatches(re, c.subject), c.expected) << "pattern " << c.pattern << " mods " << c.mods;
    }
}

struct GroupCase {
    const char* pattern;
    std::string subject;
    const char* groups;  // "start,len" for groups 0..3
};

const GroupCase kGroupCases[] = {
    {"(\\w+)=(\\w+)", "set key=value now", "5,9 5,3 9,5 -1,-1"},
    {"(a|b)*c", "ababc", "1,5 4,1 -1,-1 -1,-1"},
    {"((a)|b)+", "ab", "1,2 2,1 1,1 -1,-1"},
    {"(a)|(b)", "b", "1,1 -1,-1 1,1 -1,-1"},
    {"(a*)(b)", "b", "1,1 1,0 1,1 -1,-1"},
    {"(x)?y", "y", "1,1 -1,-1 -1,-1 -1,-1"},
    {"(a(b(c)))", "abc", "1,3 1,3 2,2 3,1"},
    // Inside its own group a back-reference sees the group's last complete text.
    {"(b|\\1){1,}.{2}", "cb\na", "2,3 2,1 -1,-1 -1,-1"},
    {"(a|b\\1)+", "abab", "1,3 2,2 -1,-1 -1,-1"},
};

TEST(VxRegexMatch, GroupSpans) {
    for (const GroupCase& c : kGroupCases) {
        TVxRegex re;
        re.SetExpression(c.pattern);
        ASSERT_TRUE(re.Exec(c.subject)) << c.pattern;
        std::string got;
        for (int k = 0; k <= 3; ++k) {
            if (k) got += " ";
            got += std::to_string(re.MatchStart(k)) + "," + std::to_string(re.MatchLength(k));
        }
        EXPECT_EQ(got, c.groups) << c.pattern;
    }
}

TEST(VxRegexMatch, RussianRangesFollowTheModifier) {
    TVxRegex re;
    re.SetExpression("[\xE0-\xFF]+");
    EXPECT_TRUE(re.Exec("\xB8"));  // yo joins the lower-case alphabet
    re.SetModifier(2, false);
    EXPECT_FALSE(re.Exec("\xB8"));
    re.SetModifier(2, true);
    re.SetExpression("[\xC0-\xDF]");
    EXPECT_TRUE(re.Exec("\xA8"));
    re.SetExpression("[\xE0-\xDF]+");  // both alphabets, written backwards on purpose
    ASSERT_TRUE(re.Exec("\xC0\xFF\xA8\xB8"));
    EXPECT_EQ(re.MatchLength(0), 4);
}

TEST(VxRegexMatch, CaseTablesComeFromTheCaller) {
    TVxRegex re;
    re.SetModifier(1, true);
    re.SetExpression("\xE9");  // e acute, Windows-1252
    EXPECT_TRUE(re.Exec("\xC9"));
    re.SetExpression("\\w+");
    ASSERT_TRUE(re.Exec("caf\xE9!"));
    EXPECT_EQ(re.MatchLength(0), 4);

    vsr::regexpr::ByteTable asciiUpper{}, asciiWord{};
    for (int c = 0; c < 256; ++c) {
        asciiUpper[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        asciiWord[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    }
    re.SetCaseTable(asciiUpper);
    re.SetWordTable(asciiWord);
    ASSERT_TRUE(re.Exec("caf\xE9!"));
    EXPECT_EQ(re.MatchLength(0), 3);
    re.SetExpression("\xE9");
    EXPECT_FALSE(re.Exec("\xC9"));
}

TEST(VxRegexMatch, PairedSeparatorGovernsLineEnds) {
    TVxRegex re;
    re.SetModifier(5, true);
    re.SetExpression("$");
    re.SetLinePairedSeparator("");
    // Without the pair, the position between CR and LF is a line end as well.
    EXPECT_EQ(allMatches(re, "a\r\nb"), "2,0;3,0;5,0");
    re.SetLinePairedSeparator("\r\n");
    EXPECT_EQ(allMatches(re, "a\r\nb"), "2,0;5,0");
    EXPECT_THROW(re.SetLinePairedSeparator("x"), vsr::regexpr::EVxRegex);
    EXPECT_THROW(re.SetLinePairedSeparator("xx"), vsr::regexpr::EVxRegex);
}

TEST(VxRegexMatch, ExecPosAndOffsets) {
    TVxRegex re;
    re.SetExpression("a");
    ASSERT_TRUE(re.Exec("aXa"));
    EXPECT_TRUE(re.ExecPos(2));
    EXPECT_EQ(re.MatchStart(0), 3);
    EXPECT_FALSE(re.ExecPos(4));
    EXPECT_FALSE(re.ExecPos(100));
    EXPECT_EQ(re.MatchStart(0), -1);
    EXPECT_EQ(re.MatchStart(15), -1);
    EXPECT_EQ(re.MatchLength(-1), -1);
}

TEST(VxRegexMatch, InputEndsAtItsFirstNul) {
    TVxRegex re;
    re.SetExpression("b");
    EXPECT_FALSE(re.Exec(std::string("a\0b", 3)));
    re.SetExpression("a$");
    EXPECT_TRUE(re.Exec(std::string("a\0b", 3)));
}

TEST(VxRegexMatch, NulInTheExpressionMatchesNothing) {
    TVxRegex re;
    re.SetExpression(std::string("a\0b", 3));
    EXPECT_FALSE(re.Exec("ab"));
    EXPECT_FALSE(re.Exec("a"));
    re.SetExpression(std::string("a\0?b", 4));
    EXPECT_TRUE(re.Exec("ab"));
    re.SetExpression("a\\x00?b");
    EXPECT_TRUE(re.Exec("ab"));
}

TEST(VxRegexMatch, ProgramStartsWithTheMagicByte) {
    TVxRegex re;
    re.SetExpression("a(b|c)*d");
    re.Compile();
    ASSERT_FALSE(re.ProgramCode().empty());
    EXPECT_EQ(re.ProgramCode()[0], 216);
}

TEST(VxRegexMatch, TemplateExpansion) {
    TVxRegex re;
    re.SetExpression("(\\w+)=(\\w+)");
    ASSERT_TRUE(re.Exec("set key=value now"));
    EXPECT_EQ(re.ExpandTemplate("$2 is $1"), "value is key");
    EXPECT_EQ(re.ExpandTemplate("[$&] ${1}x $1x"), "[key=value] keyx keyx");
    EXPECT_EQ(re.ExpandTemplate("$ \\$1 $9 $15 ${2"), "$ $1   ${2");
    EXPECT_EQ(re.ExpandTemplate("end\\"), "end\\");
}

}  // namespace
