// The stage between reading a file and matching it: every encoding gives the same text and
// writes it back byte for byte, piece by piece as whole, and odd or broken files decode to
// something safe that is never written back.
#include <gtest/gtest.h>

#include "encoded_files.h"
#include "engine/decode/file_text.h"
#include "engine/decode/text_decoder.h"
#include "engine/decode/text_encoder.h"
#include "engine/decode/utf8_check.h"
#include "platform/text_encoding.h"
#include "text/utf8.h"

namespace vsr::engine {
namespace {

using Form = FileEncoding::Form;
using platform::CodePageId;
using test::fileBytes;
using test::utf8Of;

const TextReading kUtf8{CodePageId::Utf8, CodePageId::Windows1252};

TEST(FileText, EveryEncodingGivesTheSameTextAndWritesItBack) {
    const std::u32string wide = U"\u00C4rger \u00FCber \u20AC \u0436 \U0001F600\r\nzwei\r\n";
    const std::u32string latin = U"\u00C4rger \u00FCber \u20AC\r\nzwei\r\n";
    for (Form form : test::kAllForms) {
        SCOPED_TRACE(static_cast<int>(form));
        const std::u32string& text = form == Form::Page ? latin : wide;
        const std::string bytes = fileBytes(form, text);
        std::string scratch;
        const FileText t = readFileText(bytes, kUtf8, scratch);
        EXPECT_EQ(t.text, utf8Of(text));
        EXPECT_TRUE(t.exact && t.modifiable());
        EXPECT_EQ(t.kind, form == Form::Chosen ? TextKind::Bytes : TextKind::Encoded);
        if (form == Form::Chosen) continue;
        EXPECT_EQ(t.fileEncoding.form, form);
        const EncodedFile back = encodeFileText(t.fileEncoding, CodePageId::Utf8, t.text);
        EXPECT_FALSE(back.refused);
        EXPECT_EQ(back.bytes, bytes);
    }
}

TEST(FileText, PiecesDecodeAsTheWholeDoes) {
    // Long runs of ASCII, broken at every offset of a block by a character that is not.
    std::u32string text = U"a\u00E9\u0436\u20AC\U0001F600z\r\n\U00010348";
    for (std::size_t run = 30; run <= 40; ++run) {
        text.append(run, U'x');
        text.push_back(run % 2 ? U'\u0436' : U'\U0001F600');
    }
    text.append(70, U'y');
    for (Form form : {Form::Utf16Le, Form::Utf16Be, Form::Utf32Le, Form::Utf32Be, Form::Utf8Mark}) {
        const std::string bytes = fileBytes(form, text).substr(byteOrderMark(form).size());
        EXPECT_EQ(decodeFileBytes({form}, CodePageId::Utf8, bytes), utf8Of(text)) << static_cast<int>(form);
        for (CodePageId to : {CodePageId::Utf8, CodePageId::Windows1251}) {
            const std::string whole = decodeFileBytes({form}, to, bytes);
            for (std::size_t piece = 1; piece <= 7; ++piece) {
                TextDecoder decoder({form}, to);
                std::string out;
                for (std::size_t at = 0; at < bytes.size(); at += piece)
                    decoder.decode(std::string_view(bytes).substr(at, piece), out, false);
                decoder.decode({}, out, true);
                EXPECT_EQ(out, whole) << static_cast<int>(form) << " in pieces of " << piece;
            }
        }
    }
    // The UTF-8 check cut anywhere agrees with the whole.
    for (std::string s : {utf8Of(text), std::string("ab\xE2\x82"), std::string("\xED\xA0\x80"), std::string("x\xC3\xA9y\0\xFF", 6)}) {
        for (std::size_t cut = 0; cut <= s.size(); ++cut) {
            Utf8Check check;
            check.take(std::string_view(s).substr(0, cut));
            check.take(std::string_view(s).substr(cut));
            EXPECT_EQ(check.finish(), isUtf8Text(s)) << cut;
        }
    }
    EXPECT_TRUE(isUtf8Text(utf8Of(text)));
    EXPECT_TRUE(isUtf8Text(std::string("x\xC3\xA9y\0\xFF", 6)));  // the text ends at its NUL
    EXPECT_FALSE(isUtf8Text("ab\xE2\x82"));
    EXPECT_FALSE(isUtf8Text("\xED\xA0\x80"));  // a surrogate
}

TEST(FileText, PageTextDecodesAsItsCharactersOneByOne) {
    // Runs of ASCII of every length around the decoder's blocks, each ended by a byte of the
    // page's upper half (NUL and control bytes among the ASCII), in every page and in pieces.
    std::string bytes;
    for (std::size_t run = 0; run <= 40; ++run) {
        for (std::size_t k = 0; k < run; ++k) bytes += static_cast<char>(k % 7 == 3 ? k % 4 : 'a' + k % 26);
        bytes += static_cast<char>(0x80 + (run * 37) % 128);
    }
    bytes.append(33, 'z');
    for (CodePageId page : {CodePageId::Windows1252, CodePageId::Windows1250, CodePageId::Windows1251,
                            CodePageId::Iso8859_1, CodePageId::Iso8859_15}) {
        std::string want;
        for (char b : bytes) text::utf8::append(want, platform::pageCharacter(page, static_cast<unsigned char>(b)));
        EXPECT_EQ(decodeFileBytes(FileEncoding::ofPage(page), CodePageId::Utf8, bytes), want)
            << fileEncodingName(FileEncoding::ofPage(page));
        for (std::size_t piece : {1, 5, 16, 17}) {
            TextDecoder decoder(FileEncoding::ofPage(page), CodePageId::Utf8);
            std::string out;
            for (std::size_t at = 0; at < bytes.size(); at += piece) decoder.decode(std::string_view(bytes).substr(at, piece), out, false);
            decoder.decode({}, out, true);
            EXPECT_EQ(out, want) << "in pieces of " << piece;
        }
    }
}

// Whether `s` is UTF-8 up to its first NUL, by the table of well-formed sequences, a byte at a
// time: the model the block-wise check must agree with.
bool utf8ByTheRules(std::string_view s) {
    auto in = [](unsigned char b, int lo, int hi) { return b >= lo && b <= hi; };
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b == 0) return true;
        if (b < 0x80) {
            ++i;
            continue;
        }
        int lo = 0x80, hi = 0xBF;
        std::size_t len = 0;
        if (in(b, 0xC2, 0xDF)) len = 2;
        else if (in(b, 0xE0, 0xEF)) len = 3, lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
        else if (in(b, 0xF0, 0xF4)) len = 4, lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
        else return false;
        if (s.size() - i < len) return false;
        if (!in(static_cast<unsigned char>(s[i + 1]), lo, hi)) return false;
        for (std::size_t k = 2; k < len; ++k)
            if (!in(static_cast<unsigned char>(s[i + k]), 0x80, 0xBF)) return false;
        i += len;
    }
    return true;
}

TEST(FileText, TheUtf8CheckAgreesWithTheRulesAtEveryOffsetOfItsBlocks) {
    // Each breaks a run of ASCII longer than the widest block once, at every offset: the
    // block-wise passes must stop for it wherever it falls, and take up the run again after it.
    const std::string breaks[] = {
        std::string(1, '\0'), "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x80", "\xC0\xAF",
        "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\xFF", "\xC3\xA9\0\xFF",
    };
    std::size_t checked = 0;
    for (const std::string& brk : breaks) {
        for (std::size_t at = 0; at <= 200; ++at) {
            for (const std::string& second : {std::string(), std::string("\xFE")}) {
                // A second, invalid byte far behind the first: seen unless the first ended the text.
                std::string s(at, 'a');
                s += brk;
                s.append(130, 'b');
                s += second;
                s.append(at % 67, 'c');
                const bool want = utf8ByTheRules(s);
                ASSERT_EQ(isUtf8Text(s), want) << "break " << checked << " at " << at;
                Utf8Check pieces;
                for (std::size_t p = 0; p < s.size(); p += 61) pieces.take(std::string_view(s).substr(p, 61));
                ASSERT_EQ(pieces.finish(), want) << "in pieces, break " << checked << " at " << at;
            }
        }
        ++checked;
    }
    // Long ASCII with one NUL: the text ends there, so what follows it is never judged.
    std::string ended(500, 'x');
    ended[333] = '\0';
    ended[400] = '\xFF';
    Utf8Check check;
    EXPECT_TRUE(check.take(ended));
    EXPECT_TRUE(check.ended());
    EXPECT_TRUE(check.finish());
}

// The search decodes a file inside its read buffer, piece by piece behind the bytes still to be
// read: long texts that shrink, that grow past their bytes midway, or are damaged read as a
// text decoded aside does, for every encoding and setting.
TEST(FileText, TheBufferDecodedInPlaceHoldsTheTextDecodedAside) {
    std::u32string shrinking, growing, latin;
    for (int i = 0; i < 9000; ++i) shrinking += i % 500 ? U"int x;\r\n" : U"\u00E9\u20AC\U0001F600\r\n";
    growing = shrinking.substr(0, 40000);
    for (int i = 0; i < 60000; ++i) growing += i % 7 ? U'\u6587' : U'\n';
    for (int i = 0; i < 30000; ++i) latin += i % 3 ? U"\u00E9t\u00E9 " : U"abc\n";
    const std::u32string texts[] = {shrinking, growing, latin, U"", U"a"};
    const TextReading readings[] = {kUtf8, {CodePageId::Windows1251, std::nullopt}, {CodePageId::Utf8, CodePageId::Windows1252, true}};
    for (Form form : test::kAllForms) {
        for (const std::u32string& text : texts) {
            if (form == Form::Page && &text != &latin) continue;
            std::string bytes = fileBytes(form, text);
            // An unpaired surrogate and an odd last byte in the wide forms.
            if (form == Form::Utf16Le && bytes.size() > 100000) bytes.replace(100000, 2, "\x3D\xD8");
            if (form == Form::Utf16Be) bytes += 'x';
            for (const TextReading& reading : readings) {
                SCOPED_TRACE(testing::Message() << static_cast<int>(form) << " of " << bytes.size() << " bytes into "
                                                << static_cast<int>(reading.textEncoding) << (reading.keepDamaged ? " kept" : ""));
                std::string aside, inPlace;
                const FileText expected = readFileText(bytes, reading, aside);
                platform::FileBuffer buffer;
                buffer.assign(bytes);
                const FileText t = decodeInBuffer(buffer, reading, inPlace);
                ASSERT_EQ(t.text.size(), expected.text.size());
                EXPECT_TRUE(t.text == expected.text);
                EXPECT_EQ(t.text.data(), buffer.data());
                EXPECT_EQ(buffer.size(), t.text.size());
                EXPECT_EQ(t.kind, expected.kind);
                EXPECT_EQ(t.fileEncoding, expected.fileEncoding);
                EXPECT_EQ(t.exact, expected.exact);
                EXPECT_EQ(t.lacking, expected.lacking);
                EXPECT_EQ(t.damaged, expected.damaged);
            }
        }
    }
}

TEST(FileText, OddAndBrokenFiles) {
    const TextReading asBytes{CodePageId::Utf8, std::nullopt};
    const TextReading latin{CodePageId::Windows1252, std::nullopt};
    struct Case {
        const char* what;
        std::string bytes;
        TextReading reading;
        TextKind kind;
        std::string text;
        bool exact;
    };
    const Case cases[] = {
        {"a lone UTF-16 mark", "\xFF\xFE", kUtf8, TextKind::Encoded, "", true},
        {"a lone UTF-8 mark", "\xEF\xBB\xBF", kUtf8, TextKind::Encoded, "", true},
        {"an odd byte count", std::string("\xFF\xFE" "A\0B", 5), kUtf8, TextKind::Encoded, "A\xEF\xBF\xBD", false},
        {"an unpaired high surrogate", std::string("\xFF\xFE\x3D\xD8" "A\0", 6), kUtf8, TextKind::Encoded, "\xEF\xBF\xBD" "A", false},
        {"an unpaired low surrogate", std::string("\xFE\xFF\xDC\x00\x00" "A", 6), kUtf8, TextKind::Encoded, "\xEF\xBF\xBD" "A", false},
        {"a surrogate pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), kUtf8, TextKind::Encoded, "\xF0\x9F\x98\x80", true},
        {"past U+10FFFF", std::string("\xFF\xFE\0\0\0\0\x11\0", 8), kUtf8, TextKind::Encoded, "\xEF\xBF\xBD", false},
        {"a cut UTF-32 unit", std::string("\0\0\xFE\xFF\0\0", 6), kUtf8, TextKind::Encoded, "\xEF\xBF\xBD", false},
        {"a NUL-full binary that starts like a mark", std::string("\xFF\xFE\0\0\0\0\0\0\x01\0\0\0", 12), kUtf8,
         TextKind::Encoded, std::string("\0\x01", 2), true},
        {"not UTF-8: the fallback page", "caf\xE9 \x80", kUtf8, TextKind::Encoded, "caf\xC3\xA9 \xE2\x82\xAC", true},
        {"not UTF-8, as bytes", "caf\xE9", asBytes, TextKind::Bytes, "caf\xE9", true},
        {"not UTF-8 only after its NUL byte", std::string("ok\0\xE9", 4), kUtf8, TextKind::Bytes, std::string("ok\0\xE9", 4), true},
        {"a single-byte setting reads its page", "caf\xE9", latin, TextKind::Bytes, "caf\xE9", true},
        {"a character the page holds", std::string("\xFF\xFE\xE9\0", 4), latin, TextKind::Encoded, "\xE9", true},
        {"a character the page lacks", std::string("\xFF\xFE\x36\x04" "a\0", 6), latin, TextKind::Encoded, "\x1A" "a", false},
        {"broken UTF-8 behind its mark", "\xEF\xBB\xBF" "a\xFF", latin, TextKind::Encoded, "a\x1A", false},
    };
    for (const Case& c : cases) {
        std::string scratch;
        const FileText t = readFileText(c.bytes, c.reading, scratch);
        EXPECT_EQ(t.kind, c.kind) << c.what;
        EXPECT_EQ(t.text, c.text) << c.what;
        EXPECT_EQ(t.modifiable(), c.exact) << c.what;
        if (!c.exact) {
            EXPECT_NE(unmodifiableReason(t, c.reading.textEncoding).find(fileEncodingName(t.fileEncoding)),
                      std::string::npos) << c.what;
        }
    }
    std::string scratch;
    const FileText lacking = readFileText(std::string("\xFF\xFE\x36\x04", 4), latin, scratch);
    EXPECT_EQ(lacking.lacking, U'\u0436');
    EXPECT_EQ(unmodifiableReason(lacking, CodePageId::Windows1252),
              "it is in UTF-16 LE and holds the character \"\xD0\xB6\" (U+0436) that the text encoding "
              "Windows-1252 (Western European) cannot hold");
}

// Read for writing back, a damaged unit is kept as the run of its bytes: the text reads the same
// whole and in pieces, holds no U+FFFD for it, and encodes back to the very bytes of the file.
TEST(FileText, DamagedUnitsAreKeptForWritingBack) {
    const TextReading keeping{CodePageId::Utf8, CodePageId::Windows1252, true};
    const std::pair<Form, std::string> cases[] = {
        {Form::Utf16Le, std::string("A\0\x3D\xD8" "B\0", 6)},          // an unpaired high surrogate
        {Form::Utf16Le, std::string("A\0\x3D\xD8", 4)},                // the same at the end
        {Form::Utf16Be, std::string("\xDC\x00\x00" "A", 4)},           // an unpaired low surrogate
        {Form::Utf16Le, std::string("\x3D\xD8\x3D\xD8\x00\xDE", 6)},  // a high one before a whole pair
        {Form::Utf16Le, std::string("A\0" "B", 3)},                     // an odd byte count
        {Form::Utf16Be, std::string("\xD8\x3D" "x", 3)},               // a high surrogate, then an odd byte
        {Form::Utf32Le, std::string("\0\0\x11\0" "A\0\0\0", 8)},     // past U+10FFFF
        {Form::Utf32Be, std::string("\0\0\xD8\0\0\0\0\n", 8)},        // a surrogate
        {Form::Utf32Be, std::string("\0\0\0" "A" "\0", 5)},            // cut units of one, two, three bytes
        {Form::Utf32Be, std::string("\0\0\0" "A" "\0\0", 6)},
        {Form::Utf32Le, std::string("A\0\0\0" "\xFF\xFF\xFF", 7)},
    };
    for (const auto& [form, body] : cases) {
        const std::string bytes = std::string(byteOrderMark(form)) + body;
        SCOPED_TRACE(testing::PrintToString(bytes));
        std::string scratch;
        const FileText t = readFileText(bytes, keeping, scratch);
        EXPECT_TRUE(t.modifiable());
        EXPECT_EQ(t.text.find("\xEF\xBF\xBD"), std::string_view::npos);
        EXPECT_FALSE(isUtf8Text(t.text));
        const EncodedFile back = encodeFileText(t.fileEncoding, CodePageId::Utf8, t.text);
        EXPECT_FALSE(back.refused);
        EXPECT_EQ(back.bytes, bytes);
        for (std::size_t piece = 1; piece <= 5; ++piece) {
            TextDecoder decoder({form}, CodePageId::Utf8, true);
            std::string out;
            for (std::size_t at = 0; at < body.size(); at += piece)
                decoder.decode(std::string_view(body).substr(at, piece), out, false);
            decoder.decode({}, out, true);
            EXPECT_EQ(out, t.text) << "in pieces of " << piece;
            EXPECT_TRUE(decoder.exact() && decoder.damaged());
        }
        // The search still sees U+FFFD and never writes it back; so does a single-byte setting.
        EXPECT_FALSE(readFileText(bytes, kUtf8, scratch).modifiable());
        EXPECT_FALSE(readFileText(bytes, {CodePageId::Windows1252, std::nullopt, true}, scratch).modifiable());
    }
    // An edit that cut a run short, or left an odd byte before a character, is refused.
    std::string scratch;
    const std::string oddEnd("\xFF\xFE" "A\0" "B", 5);
    const std::string run(readFileText(oddEnd, keeping, scratch).text);
    ASSERT_EQ(run.size(), 4u);
    for (const std::string& edited : {run.substr(0, 3), run.substr(0, 2) + "x" + run.substr(3), run.substr(0, 1) + run.substr(2)}) {
        const EncodedFile cut = encodeFileText({Form::Utf16Le}, CodePageId::Utf8, edited);
        EXPECT_TRUE(cut.refused && !cut.misaligned) << testing::PrintToString(edited);
    }
    const EncodedFile after = encodeFileText({Form::Utf16Le}, CodePageId::Utf8, run + "C");
    ASSERT_TRUE(after.refused && after.misaligned);
    EXPECT_EQ(*after.refused, U'C');
    EXPECT_EQ(unwritableReason({Form::Utf16Le}, after),
              "its encoding, UTF-16 LE, would get a damaged unit out of step with the characters after it");
}

TEST(FileText, WritingBackRefusesWhatTheEncodingCannotHold) {
    const EncodedFile euro = encodeFileText(FileEncoding::ofPage(CodePageId::Iso8859_1), CodePageId::Utf8, "a\xE2\x82\xAC");
    ASSERT_TRUE(euro.refused);
    EXPECT_EQ(*euro.refused, U'\u20AC');
    EXPECT_EQ(unwritableReason(FileEncoding::ofPage(CodePageId::Iso8859_1), *euro.refused),
              "its encoding, ISO-8859-1, cannot hold the character \"\xE2\x82\xAC\" (U+20AC)");
    // A byte that is no character of the UTF-8 text has no UTF-16 form.
    const EncodedFile stray = encodeFileText({Form::Utf16Le}, CodePageId::Utf8, "a\xFF");
    ASSERT_TRUE(stray.refused);
    EXPECT_NE(unwritableReason({Form::Utf16Le}, *stray.refused).find("0xFF"), std::string::npos);
    // The text of a single-byte setting goes into UTF-16 by its page.
    EXPECT_EQ(encodeFileText({Form::Utf16Be}, CodePageId::Windows1251, "\xE6").bytes, std::string("\xFE\xFF\x04\x36", 4));
    // Every byte of every page comes back from its character: undefined ones included.
    for (CodePageId page : {CodePageId::Windows1252, CodePageId::Windows1250, CodePageId::Windows1251,
                            CodePageId::Iso8859_1, CodePageId::Iso8859_15}) {
        std::string all;
        for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
        const std::string text = decodeFileBytes(FileEncoding::ofPage(page), CodePageId::Utf8, all);
        EXPECT_EQ(encodeFileText(FileEncoding::ofPage(page), CodePageId::Utf8, text).bytes, all)
            << fileEncodingName(FileEncoding::ofPage(page));
    }
}

TEST(FileText, TheLocaleLanguageChoosesTheFallbackPage) {
    const std::pair<const char*, CodePageId> cases[] = {
        {"ru_RU.UTF-8", CodePageId::Windows1251}, {"uk_UA.UTF-8", CodePageId::Windows1251},
        {"pl_PL.UTF-8", CodePageId::Windows1250}, {"cs_CZ.UTF-8@euro", CodePageId::Windows1250},
        {"de_DE.UTF-8", CodePageId::Windows1252}, {"C.UTF-8", CodePageId::Windows1252},
        {"", CodePageId::Windows1252},           {"sr", CodePageId::Windows1251},
    };
    for (const auto& [name, page] : cases) EXPECT_EQ(fallbackPageForLocale(name), page) << name;
}

}  // namespace
}  // namespace vsr::engine
