#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace vsr::platform {
namespace {

TEST(CodePage, UpperCaseAndLettersPerPage) {
    struct Case {
        CodePageId page;
        unsigned char lower, upper;
    } cases[] = {
        {CodePageId::Windows1252, 'a', 'A'},   {CodePageId::Windows1252, 0xE9, 0xC9},
        {CodePageId::Windows1252, 0x9A, 0x8A}, {CodePageId::Windows1252, 0xFF, 0x9F},
        {CodePageId::Windows1250, 0xB9, 0xA5}, {CodePageId::Windows1250, 0x9F, 0x8F},
        {CodePageId::Windows1250, 0xB3, 0xA3}, {CodePageId::Windows1251, 0xE0, 0xC0},
        {CodePageId::Windows1251, 0xB8, 0xA8}, {CodePageId::Windows1251, 0xFF, 0xDF},
        {CodePageId::Windows1251, 0xF7, 0xD7},  // che: 0xF7 is the division sign only on the Latin pages
        {CodePageId::Iso8859_1, 0xE9, 0xC9},   {CodePageId::Iso8859_15, 0xBD, 0xBC},
        {CodePageId::Iso8859_15, 0xFF, 0xBE},
    };
    for (const Case& c : cases) {
        const CodePage& p = CodePage::get(c.page);
        EXPECT_EQ(p.upper(c.lower), c.upper) << int(c.page) << " " << int(c.lower);
        EXPECT_EQ(p.upper(c.upper), c.upper);
        EXPECT_TRUE(p.isAlnum(c.lower));
        EXPECT_TRUE(p.isAlnum(c.upper));
    }
}

TEST(CodePage, NonLettersStayAndAreNotWordCharacters) {
    for (CodePageId id : {CodePageId::Windows1252, CodePageId::Windows1250, CodePageId::Windows1251,
                          CodePageId::Iso8859_1, CodePageId::Iso8859_15}) {
        const CodePage& p = CodePage::get(id);
        for (char c : {' ', '.', '-', '\t', '\r', '\n', '\0', '"'}) {
            EXPECT_EQ(p.upper(c), c);
            EXPECT_FALSE(p.isWordChar(c)) << int(id) << " " << int(c);
        }
        EXPECT_TRUE(p.isWordChar('_'));
        EXPECT_FALSE(p.isAlnum('_'));
        EXPECT_TRUE(p.isAlnum('7'));
        // Upper-casing twice changes nothing: the search folds text and terms alike.
        for (int c = 0; c < 256; ++c) EXPECT_EQ(p.upper(p.upper(static_cast<unsigned char>(c))), p.upper(static_cast<unsigned char>(c)));
    }
    // Multiplication and division signs are not letters where they exist; in 1251 the same codes are.
    EXPECT_FALSE(CodePage::get(CodePageId::Windows1252).isAlnum(0xD7));
    EXPECT_FALSE(CodePage::get(CodePageId::Windows1250).isAlnum(0xF7));
    EXPECT_TRUE(CodePage::get(CodePageId::Windows1251).isAlnum(0xF7));
    // The Latin-1 control range holds no letters, unlike Windows-1252's.
    EXPECT_FALSE(CodePage::get(CodePageId::Iso8859_1).isAlnum(0x8A));
    EXPECT_TRUE(CodePage::get(CodePageId::Windows1252).isAlnum(0x8A));
    EXPECT_FALSE(CodePage::get(CodePageId::Iso8859_15).isAlnum(0xA4));  // the euro sign
}

TEST(CodePage, ParsesTheToolNames) {
    EXPECT_EQ(parseCodePageName("1251"), CodePageId::Windows1251);
    EXPECT_EQ(parseCodePageName("8859-15"), CodePageId::Iso8859_15);
    EXPECT_EQ(parseCodePageName("utf-8"), CodePageId::Utf8);
    EXPECT_EQ(parseCodePageName("UTF8"), CodePageId::Utf8);
    EXPECT_FALSE(parseCodePageName("utf-16").has_value());
    EXPECT_FALSE(parseCodePageName("").has_value());
    for (CodePageId id : {CodePageId::Windows1252, CodePageId::Windows1250, CodePageId::Windows1251,
                          CodePageId::Iso8859_1, CodePageId::Iso8859_15, CodePageId::Utf8})
        EXPECT_EQ(parseCodePageName(codePageName(id)), id);
    EXPECT_EQ(CodePage::defaultPage().toUpper("stra\xDF" "e"), "STRA\xDF" "E");
}

TEST(CodePage, TheLocaleCharacterSetChoosesTheEncoding) {
    EXPECT_EQ(codePageForCharset("UTF-8"), CodePageId::Utf8);
    EXPECT_EQ(codePageForCharset("utf8"), CodePageId::Utf8);
    EXPECT_EQ(codePageForCharset("CP1251"), CodePageId::Windows1251);
    EXPECT_EQ(codePageForCharset("ISO-8859-15"), CodePageId::Iso8859_15);
    EXPECT_EQ(codePageForCharset("ISO-8859-1"), CodePageId::Iso8859_1);
    EXPECT_EQ(codePageForCharset("ANSI_X3.4-1968"), CodePageId::Windows1252);  // the C locale
    EXPECT_EQ(codePageForCharset("KOI8-R"), CodePageId::Windows1252);
}

}  // namespace
}  // namespace vsr::platform
