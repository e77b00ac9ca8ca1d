#include <gtest/gtest.h>

#include <string>

#include "platform/text_encoding.h"
#include "text/unicode_tables.h"

namespace vsr::platform {
namespace {

std::u16string u(const char16_t* s) { return s; }

TEST(TextEncoding, PagesPutCharactersOnTheirOwnBytes) {
    struct Case {
        CodePageId page;
        char16_t character;
        unsigned char byte;
    } cases[] = {
        {CodePageId::Windows1252, u'€', 0x80}, {CodePageId::Windows1252, u'Ÿ', 0x9F},
        {CodePageId::Windows1252, u'é', 0xE9}, {CodePageId::Windows1250, u'Š', 0x8A},
        {CodePageId::Windows1250, u'ł', 0xB3}, {CodePageId::Windows1250, u'ő', 0xF5},
        {CodePageId::Windows1251, u'ч', 0xF7}, {CodePageId::Windows1251, u'Ё', 0xA8},
        {CodePageId::Windows1251, u'я', 0xFF}, {CodePageId::Iso8859_1, u'÷', 0xF7},
        {CodePageId::Iso8859_15, u'€', 0xA4},  {CodePageId::Iso8859_15, u'œ', 0xBD},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pageCharacter(c.page, c.byte), c.character) << codePageName(c.page) << " " << int(c.byte);
        const EncodedText e = encodeText(c.page, std::u16string(1, c.character));
        EXPECT_FALSE(e.refused);
        EXPECT_EQ(e.bytes, std::string(1, static_cast<char>(c.byte))) << codePageName(c.page);
    }
}

TEST(TextEncoding, EveryByteOfASinglePageComesBackUnchanged) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    for (CodePageId page : kTextEncodings) {
        if (page == CodePageId::Utf8) continue;
        const std::u16string text = decodeText(page, all);
        ASSERT_EQ(text.size(), all.size()) << codePageName(page);
        const EncodedText back = encodeText(page, text);
        EXPECT_FALSE(back.refused) << codePageName(page);
        EXPECT_EQ(back.bytes, all) << codePageName(page);
    }
}

// The upper-case and letter tables of a page and its characters tell the same story.
TEST(TextEncoding, PageTablesAgreeWithTheCharactersOfThePage) {
    for (CodePageId page : kTextEncodings) {
        if (page == CodePageId::Utf8) continue;
        const CodePage& p = CodePage::get(page);
        for (int b = 0x80; b < 256; ++b) {
            const char16_t c = pageCharacter(page, static_cast<unsigned char>(b));
            const char16_t upper = pageCharacter(page, p.upper(static_cast<unsigned char>(b)));
            if (p.isAlnum(static_cast<unsigned char>(b))) {
                EXPECT_TRUE(text::unicode::isWordChar(c)) << codePageName(page) << " " << b;
            }
            if (upper != c) {
                EXPECT_EQ(text::unicode::fold(c), text::unicode::fold(upper)) << codePageName(page) << " " << b;
            }
        }
    }
}

TEST(TextEncoding, Utf8KeepsEveryByteThroughAnEditedField) {
    // Valid characters, a Latin-1 byte, a cut sequence and a character beyond the basic plane.
    const std::string bytes = "na\xC3\xAFve \xE9t\xE9 \xE2\x82 \xF0\x9F\x98\x80!";
    const std::u16string text = decodeText(CodePageId::Utf8, bytes);
    EXPECT_EQ(text.substr(0, 5), u(u"naïve"));
    const EncodedText back = encodeText(CodePageId::Utf8, text);
    EXPECT_FALSE(back.refused);
    EXPECT_EQ(back.bytes, bytes);
    // Shown, an invalid byte is the Windows-1252 character it most likely meant.
    const std::u16string shown = decodeText(CodePageId::Utf8, "\xE9t\xE9", InvalidBytes::Show);
    EXPECT_EQ(shown, u(u"été"));
}

TEST(TextEncoding, ByteOffsetsMoveOntoCharacters) {
    std::vector<int> at;
    const std::u16string text = decodeText(CodePageId::Utf8, "a\xD0\xB6\xF0\x9F\x98\x80z", InvalidBytes::Show, &at);
    ASSERT_EQ(text.size(), 5u);  // a, zhe, a surrogate pair, z
    EXPECT_EQ(at, (std::vector<int>{0, 1, 1, 2, 2, 2, 2, 4, 5}));
    decodeText(CodePageId::Windows1251, "\xE6z", InvalidBytes::Show, &at);
    EXPECT_EQ(at, (std::vector<int>{0, 1, 2}));
}

TEST(TextEncoding, ACharacterThePageLacksIsRefusedAndNamed) {
    EncodedText e = encodeText(CodePageId::Windows1252, u"caf\u00E9 \u0436 \u03A3");
    ASSERT_TRUE(e.refused);
    EXPECT_EQ(*e.refused, U'\u0436');
    const std::string message = refusedCharacterMessage(CodePageId::Windows1252, *e.refused);
    EXPECT_NE(message.find("\"\xD0\xB6\""), std::string::npos) << message;
    EXPECT_NE(message.find("U+0436"), std::string::npos);
    EXPECT_NE(message.find("Windows-1252"), std::string::npos);

    // With a substitute the rest is still written, and the first refusal still named.
    e = encodeText(CodePageId::Windows1251, u"\u0436\u00E9\u0436\U0001F600", '?');
    EXPECT_EQ(e.bytes, "\xE6?\xE6?");
    EXPECT_EQ(*e.refused, U'\u00E9');

    // A character beyond the basic plane fits no page but UTF-8.
    EXPECT_EQ(*encodeText(CodePageId::Iso8859_15, u"\U0001F600").refused, U'\U0001F600');
    EXPECT_EQ(encodeText(CodePageId::Utf8, u"\U0001F600").bytes, "\xF0\x9F\x98\x80");
    // A lone surrogate that stands for no byte has no UTF-8 form.
    EXPECT_TRUE(encodeText(CodePageId::Utf8, std::u16string(1, char16_t(0xD800))).refused);
}

}  // namespace
}  // namespace vsr::platform
