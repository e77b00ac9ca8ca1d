#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "text/unicode_tables.h"
#include "text/utf8.h"

namespace vsr::platform {

namespace utf8 = text::utf8;
namespace unicode = text::unicode;
namespace {

const CodePage& u8() { return CodePage::get(CodePageId::Utf8); }

// One row per script: a word in small letters, the same in capitals (or title case), and
// whether each is made of word characters only.
TEST(Utf8Folding, CapitalsAndSmallLettersFoldAlikePerScript) {
    struct Case {
        const char* script;
        const char* small;
        const char* capital;
    } cases[] = {
        {"Latin with accents", "ärger élève ñandú øre ŀ ǆ œuvre ąę žš ő", "ÄRGER ÉLÈVE ÑANDÚ ØRE Ŀ Ǆ ŒUVRE ĄĘ ŽŠ Ő"},
        {"Latin title case", "ǆemal", "ǅemal"},
        {"Latin extended", "ƀ ɓ ȿ ɐ ꞌ ꝺ", "Ƀ Ɓ Ȿ Ɐ Ꞌ Ꝺ"},
        {"Greek", "σίσυφος άλφα ωμέγα", "ΣΊΣΥΦΟΣ ΆΛΦΑ ΩΜΈΓΑ"},
        {"Greek final sigma", "ς", "Σ"},
        {"Cyrillic", "слово ёж їжак ґанок љубав џеп", "СЛОВО ЁЖ ЇЖАК ҐАНОК ЉУБАВ ЏЕП"},
        {"Armenian", "բարեւ", "ԲԱՐԵՒ"},
        {"Georgian", "ⴀⴁ ა", "ႠႡ Ა"},
        {"Cherokee", "ꭰꭱ", "ᎠᎡ"},
        {"Glagolitic", "ⰰⰱ", "ⰀⰁ"},
        {"Deseret (4 bytes)", "𐐨𐐩", "𐐀𐐁"},
        {"Fullwidth", "ａｂｃ", "ＡＢＣ"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(u8().toUpper(c.small), u8().toUpper(c.capital)) << c.script;
        EXPECT_TRUE(u8().sameFolded(c.capital, u8().toUpper(c.small))) << c.script;
        EXPECT_TRUE(u8().sameFolded(c.small, u8().toUpper(c.capital))) << c.script;
        // Folding is stable: a folded text folds to itself.
        EXPECT_EQ(u8().toUpper(u8().toUpper(c.small)), u8().toUpper(c.small)) << c.script;
    }
}

TEST(Utf8Folding, DifferentLettersStayApart) {
    const char* pairs[][2] = {{"Ê", "Ú"}, {"К", "Њ"}, {"е", "ё"}, {"a", "á"}, {"σ", "ο"}, {"i", "ı"}, {"s", "ſ"},
                              {"k", "\u212A"}, {"ß", "ss"}, {"中", "文"}};
    for (auto& p : pairs) EXPECT_NE(u8().toUpper(p[0]), u8().toUpper(p[1])) << p[0] << " " << p[1];
    // ASCII folds to capitals, as on every single-byte page, so ASCII text folds the same either way.
    EXPECT_EQ(u8().toUpper("Hello, World_42!"), "HELLO, WORLD_42!");
    EXPECT_EQ(u8().toUpper("Hello, World_42!"), CodePage::defaultPage().toUpper("Hello, World_42!"));
}

TEST(Utf8Folding, InvalidAndCutBytesStayAsTheyAre) {
    const std::string texts[] = {
        "\xC3",                   // a lead byte at the end
        "caf\xC3",                // a character cut by the end of the text
        "\xA9t\xC3\xA9",          // a stray continuation byte
        "\xC0\xAF\xE0\x80\xAF",   // overlong forms
        "\xED\xA0\x80",           // a surrogate
        "\xF4\x90\x80\x80",       // past U+10FFFF
        "\xFF\xFE",
        "\xE2\x82 x",             // a three-byte character cut after two
    };
    for (const std::string& t : texts) {
        std::string folded = u8().toUpper(t);
        // The invalid bytes come back byte for byte; the ASCII around them is upper-cased.
        std::string expected = t;
        for (char& ch : expected)
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 0x20);
        if (t == "\xA9t\xC3\xA9") expected = "\xA9T\xC3\xA9";
        EXPECT_EQ(folded, expected);
        EXPECT_TRUE(u8().sameFolded(t, folded));
    }
    // An invalid byte equals only itself, not the character it would start.
    EXPECT_FALSE(u8().sameFolded("\xC3", u8().toUpper("\xC3\xA9")));
    EXPECT_FALSE(u8().sameFolded("\xC3\xA9", "\xC3"));
}

TEST(Utf8Text, WordCharactersAreLettersDigitsAndMarks) {
    const char* words[] = {"a", "Z", "7", "_", "é", "ß", "ж", "ω", "ա", "ა", "中", "ア", "한", "ع", "٣", "५", "\u0301",
                           "𐐀", "ǅ"};
    const char* others[] = {" ", "-", ".", "\t", "«", "»", "—", "€", "©", "，", "。", "\u00A0", "\xC3", "\xA9", "\xFF",
                            "😀"};
    for (const char* w : words) EXPECT_TRUE(u8().wordCharAt(w, 0)) << w;
    for (const char* o : others) EXPECT_FALSE(u8().wordCharAt(o, 0)) << o;
    for (const char* w : words) EXPECT_TRUE(u8().wordCharBefore(w, std::string_view(w).size())) << w;
    for (const char* o : others) EXPECT_FALSE(u8().wordCharBefore(o, std::string_view(o).size())) << o;
}

TEST(Utf8Text, CharacterBoundariesInValidAndInvalidText) {
    const std::string t = "aé中𐐀\xA9\xC3z";
    // a(0) é(1,2) 中(3..5) 𐐀(6..9) stray(10) cut lead(11) z(12)
    const bool starts[] = {true, true, false, true, false, false, true, false, false, false, true, true, true, true};
    for (std::size_t i = 0; i <= t.size(); ++i) EXPECT_EQ(u8().isCharStart(t, i), starts[i]) << i;
    EXPECT_EQ(u8().length(t), 7u);
    EXPECT_EQ(u8().nextChar(t, 1), 3u);
    EXPECT_EQ(u8().nextChar(t, 6), 10u);
    EXPECT_EQ(u8().nextChar(t, 11), 12u);
    // The neighbour of a cut character is the invalid byte, not the letter it would have been.
    EXPECT_FALSE(u8().wordCharBefore("x\xC3", 2));
    EXPECT_TRUE(u8().wordCharBefore("x\xC3\xA9", 3));
    EXPECT_FALSE(u8().wordCharAt("\xC3\xA9", 1));
    // A single-byte page counts bytes.
    EXPECT_EQ(CodePage::defaultPage().length(t), t.size());
}

TEST(Utf8Text, EncodesWhatItDecodes) {
    for (char32_t cp : {char32_t{0}, char32_t{0x7F}, char32_t{0x80}, char32_t{0x7FF}, char32_t{0x800},
                        char32_t{0xD7FF}, char32_t{0xE000}, char32_t{0xFFFF}, char32_t{0x10000}, char32_t{0x10FFFF}}) {
        std::string s;
        utf8::append(s, cp);
        char32_t back = 0;
        EXPECT_EQ(utf8::decode(s, 0, back), s.size());
        EXPECT_EQ(back, cp);
        EXPECT_EQ(utf8::encodedLength(cp), s.size());
    }
    // Every folding maps a character to a character: never to a surrogate or past the range.
    for (char32_t cp = 0; cp < 0x110000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        char32_t f = unicode::fold(cp);
        ASSERT_TRUE(f < 0x110000 && !(f >= 0xD800 && f <= 0xDFFF)) << std::hex << static_cast<unsigned>(cp);
        ASSERT_EQ(unicode::fold(f), f) << std::hex << static_cast<unsigned>(cp);
        // No character beyond ASCII folds onto ASCII: an ASCII byte only ever matches ASCII.
        ASSERT_EQ(cp < 0x80, f < 0x80) << std::hex << static_cast<unsigned>(cp);
    }
}

}  // namespace
}  // namespace vsr::platform
