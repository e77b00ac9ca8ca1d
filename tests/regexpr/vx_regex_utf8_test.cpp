// The engine over UTF-8 text: characters of every script, classes and ranges of code points,
// folding across scripts, and invalid bytes as characters of their own.
#include <gtest/gtest.h>

#include <string>

#include "regexpr/vx_regex.h"
#include "regexpr/vx_regex_error.h"

using vsr::regexpr::TVxRegex;

namespace {

struct Utf8Case {
    const char* pattern;
    const char* mods;  // "i", "s" (on), "m"; "-" before a letter switches it off
    std::string subject;
    std::string expected;  // the matched texts of an ExecNext loop, joined by "|"
};

void applyUtf8Mods(TVxRegex& re, const std::string& mods) {
    bool on = true;
    for (char c : mods) {
        if (c == '-') {
            on = false;
            continue;
        }
        re.SetModifier(static_cast<int>(std::string("irsgmx").find(c)) + 1, on);
        on = true;
    }
}

std::string utf8Matches(const char* pattern, const char* mods, const std::string& subject) {
    TVxRegex re;
    re.SetUtf8(true);
    applyUtf8Mods(re, mods);
    re.SetExpression(pattern);
    std::string out;
    bool first = true;
    for (bool found = re.Exec(subject); found; found = re.ExecNext()) {
        if (re.MatchLength(0) == 0) continue;
        if (!first) out += "|";
        out += std::string(re.Match(0));
        first = false;
    }
    return out;
}

const Utf8Case kUtf8Cases[] = {
    // "." and negated classes take whole characters; an invalid byte is one.
    {".", "s", "a\xC3\xA9中😀\xFF", "a|\xC3\xA9|中|😀|\xFF"},
    {"[^a]", "", "aéb", "é|b"},
    {"[^é]+", "", "aébéc", "a|b|c"},
    {".{2}", "", "中文字", "中文"},
    {".+?", "", "中文", "中|文"},
    {".*é", "", "aébéc", "aébé"},
    {"a.c", "-s", "a\nc aéc", "aéc"},
    {"^.$", "m", "é\n中\r\n😀", "é|中|😀"},
    // Ranges are ranges of code points.
    {"[а-я]+", "", "Слово СЛОВО слово", "лово|слово"},
    {"[à-ÿ]", "", "àÿ÷é aÀ", "à|ÿ|÷|é"},
    {"[\\x{4E00}-\\x{9FFF}]+", "", "abc中文def", "中文"},
    {"[a-zé]+", "", "Café", "af\xC3\xA9"},
    // \w, \W, \D, \S.
    {"\\w+", "", "naïve, слово_1 中文 x\xFFy", "naïve|слово_1|中文|x|y"},
    {"\\W", "", "a«b\xFF", "«|\xFF"},
    {"[\\w-]+", "", "ein-Wort «x»", "ein-Wort|x"},
    {"[^\\w]+", "", "ab, «cd»", ", «|»"},
    {"[\\wé]+", "i", "x_É1 ©", "x_É1"},
    {"\\D+", "", "é1中", "é|中"},
    {"\\S+", "", "é 中", "é|中"},
    {"\\w+\\W", "", "слово! ok", "слово!"},
    // Folding across scripts, literals, classes and back-references.
    {"ärger", "i", "ÄRGER Ärger arger", "ÄRGER|Ärger"},
    {"ΣΊΣΥΦΟΣ", "i", "σίσυφος", "σίσυφος"},
    {"straße", "i", "STRAẞE", "STRAẞE"},
    {"[а-я]+", "i", "Слово СЛОВО", "Слово|СЛОВО"},
    {"[ä]", "i", "Ä", "Ä"},
    {"[^ä]", "i", "Äx", "x"},
    {"(é)\\1", "i", "éÉ", "éÉ"},
    {"abc", "i", "ABC", "ABC"},
    {"k", "i", "K\u212Ak", "K|k"},  // the Kelvin sign is no ASCII letter
    // Quantifiers on one character of several bytes repeat the whole character.
    {"é+", "", "ééé", "ééé"},
    {"é{2}", "", "éééé", "éé|éé"},
    {"中?文", "", "文中文", "文|中文"},
    // Escapes name code points.
    {"\\x{4E2D}", "", "中", "中"},
    {"\\xE9", "", "é\xE9", "é"},
    // Invalid bytes match only as characters of their own, never inside another character.
    {"\xA9", "", "é\xA9", "\xA9"},
    {"[\xFF]", "", "\xFF\xC3\xBF", "\xFF"},
};

TEST(VxRegexUtf8, TableOfCases) {
    for (const Utf8Case& c : kUtf8Cases)
        EXPECT_EQ(utf8Matches(c.pattern, c.mods, c.subject), c.expected) << c.pattern << " on " << c.subject;
}

TEST(VxRegexUtf8, EmptyMatchesStepOverWholeCharacters) {
    TVxRegex re;
    re.SetUtf8(true);
    re.SetExpression("x*");
    std::string starts;
    for (bool found = re.Exec("é中"); found; found = re.ExecNext()) starts += std::to_string(re.MatchStart(0)) + " ";
    EXPECT_EQ(starts, "1 3 6 ");
}

TEST(VxRegexUtf8, BadRangesAndCodesAreErrors) {
    for (const char* bad : {"[я-а]", "\\x{110000}", "\\x{1234567}"}) {
        TVxRegex re;
        re.SetUtf8(true);
        re.SetExpression(bad);
        EXPECT_THROW(re.Compile(), vsr::regexpr::EVxRegex) << bad;
    }
    // Without UTF-8 a code is one byte, as before.
    TVxRegex bytes;
    bytes.SetExpression("\\x{123}");
    EXPECT_THROW(bytes.Compile(), vsr::regexpr::EVxRegex);
}

TEST(VxRegexUtf8, SwitchingBackRestoresTheSingleBytePage) {
    TVxRegex re;
    re.SetUtf8(true);
    re.SetUtf8(false);
    re.SetModifier(1, true);
    re.SetExpression("\xE9");  // Windows-1252 e-acute folds to 0xC9
    EXPECT_TRUE(re.Exec("\xC9"));
    re.SetExpression(".");
    ASSERT_TRUE(re.Exec("\xC3\xA9"));
    EXPECT_EQ(re.MatchLength(0), 1);
}

}  // namespace
