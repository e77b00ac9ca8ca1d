// Modify works on a file's characters and writes it back in its own encoding, with its mark
// and its CR LF line ends, backup holding the old bytes; a replacement the encoding cannot
// hold (an omega into Windows-1251) leaves the file as it was.
// Such a file keeps each line's own line end and every damaged unit the edit does not touch.
#include <gtest/gtest.h>

#include <functional>

#include "encoded_files.h"
#include "engine/modify/modify_preview.h"
#include "modify_fixture.h"

namespace vsr::engine {
namespace {

using Form = FileEncoding::Form;
using test::fileBytes;
using test::utf8Of;

TEST(ModifyEncodings, EachFileIsWrittenBackInItsOwnEncoding) {
    const std::u32string before = U"\u00C4rger hier\r\nnoch \u00C4rger \u00E4rger\r\n";
    const std::u32string after = U"Freude \u20AC hier\r\nnoch Freude \u20AC \u00E4rger\r\n";
    for (bool regex : {false, true}) {
        test::ModifyFixture f;
        f.c.fallbackEncoding = platform::CodePageId::Windows1252;
        f.c.createBackups = true;
        f.options.separator = LineSeparator::Windows;
        if (regex) f.regex({"\xC3\x84r[a-z]+"}, {"Freude \xE2\x82\xAC"});
        else f.phrase("\xC3\x84rger", "Freude \xE2\x82\xAC");
        for (Form form : test::kAllForms) f.add(std::to_string(static_cast<int>(form)), fileBytes(form, before));
        f.modifyAll();
        for (Form form : test::kAllForms) {
            const std::string name = std::to_string(static_cast<int>(form));
            EXPECT_EQ(f.read(name), fileBytes(form, after)) << name << (regex ? " regex" : " phrase");
            EXPECT_EQ(f.read(name + ".bak"), fileBytes(form, before)) << name;
        }
        for (std::size_t row = 0; row < f.host.list.count(); ++row)
            EXPECT_EQ(f.host.list.row(row).status, results::RowStatus::Modified) << row;
    }
}

TEST(ModifyEncodings, WhatTheEncodingCannotHoldLeavesTheFileAsItWas) {
    test::ModifyFixture f;
    f.c.fallbackEncoding = platform::CodePageId::Windows1251;
    f.options.separator = LineSeparator::Windows;
    f.phrase("\xD0\x90", "\xCE\xA9");  // "А" into "Ω", which Windows-1251 lacks
    const std::string cyrillic = "\xC0\xC1\xC2\r\n";  // "АБВ" in Windows-1251
    const std::string broken("\xFF\xFE\x10\x04\x3D\xD8", 6);  // "А", then half a surrogate pair
    const std::size_t page = f.add("page.txt", cyrillic);
    const std::size_t utf16 = f.add("utf16.txt", broken);
    // The preview says why before anything is written.
    const RowPreview preview = previewRow({f.files, f.attributes, f.clock}, f.host, page, f.c, f.options);
    EXPECT_EQ(preview.state, PreviewState::Failed);
    f.modifyAll();
    EXPECT_EQ(f.read("page.txt"), cyrillic);
    EXPECT_EQ(f.host.list.row(page).status, results::RowStatus::FailedModification);
    EXPECT_EQ(f.driver.failureOf(page), "its encoding, Windows-1251, cannot hold the character \"\xCE\xA9\" (U+03A9)");
    EXPECT_EQ(preview.content.failure, f.driver.failureOf(page));
    // UTF-16 holds the omega; the half pair after it stays as it was.
    EXPECT_EQ(f.read("utf16.txt"), std::string("\xFF\xFE\xA9\x03\x3D\xD8", 6));
    EXPECT_EQ(f.host.list.row(utf16).status, results::RowStatus::Modified);
    // A replacement the page holds goes through, and the line end stays CR LF.
    f.phrase("\xD0\x90", "\xD0\xAF");
    f.host.list.SetResultStatus(page, results::RowStatus::Found);
    f.modifyAll();
    EXPECT_EQ(f.read("page.txt"), "\xDF\xC1\xC2\r\n");
}

// The bytes of `text` in `form` without the mark, to put damaged units between.
std::string bytesWithoutMark(Form form, std::u32string_view text) {
    return fileBytes(form, text).substr(byteOrderMark(form).size());
}

std::string withEveryOccurrenceReplaced(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

TEST(ModifyEncodings, DamagedUnitsSurviveEditsAroundThem) {
    const std::pair<Form, std::string> files[] = {
        {Form::Utf16Le, bytesWithoutMark(Form::Utf16Le, U"cat ") + "\x3D\xD8" + bytesWithoutMark(Form::Utf16Le, U" cat\r\n") + "Z"},
        {Form::Utf16Be, std::string("\xDC\x00", 2) + bytesWithoutMark(Form::Utf16Be, U"cat\ncat")},
        {Form::Utf32Le, bytesWithoutMark(Form::Utf32Le, U"cat") + std::string("\0\0\x11\0", 4) + bytesWithoutMark(Form::Utf32Le, U"\ncat") +
                            std::string("\0\0", 2)},
        {Form::Utf32Be, std::string("\0\0\xDC\0", 4) + bytesWithoutMark(Form::Utf32Be, U"cat cat")},
    };
    for (bool regex : {false, true}) {
        test::ModifyFixture f;
        if (regex) f.regex({"c[a]t"}, {"dog"});
        else f.phrase("cat", "dog");
        for (std::size_t i = 0; i < std::size(files); ++i)
            f.add(std::to_string(i), std::string(byteOrderMark(files[i].first)) + files[i].second);
        f.modifyAll();
        for (std::size_t i = 0; i < std::size(files); ++i) {
            const Form form = files[i].first;
            const std::string want = std::string(byteOrderMark(form)) +
                                     withEveryOccurrenceReplaced(files[i].second, bytesWithoutMark(form, U"cat"), bytesWithoutMark(form, U"dog"));
            EXPECT_EQ(f.read(std::to_string(i)), want) << i << (regex ? " regex" : " phrase");
            EXPECT_EQ(f.host.list.row(i).status, results::RowStatus::Modified) << i;
        }
    }
}

TEST(ModifyEncodings, AnEditIntoADamagedUnitLeavesTheFileAsItWas) {
    const std::string surrogate = "\xFF\xFE" + bytesWithoutMark(Form::Utf16Le, U"cat") + "\x3D\xD8" + bytesWithoutMark(Form::Utf16Le, U"\n");
    const std::string oddEnd = "\xFF\xFE" + bytesWithoutMark(Form::Utf16Le, U"ab\n") + "Z";
    test::ModifyFixture f;
    const std::size_t cut = f.add("cut.txt", surrogate);
    const std::size_t odd = f.add("odd.txt", oddEnd);
    // "." takes the first byte of the surrogate's run.
    f.regex({"t."}, {"T"});
    f.modifyAll();
    EXPECT_EQ(f.read("cut.txt"), surrogate);
    EXPECT_EQ(f.host.list.row(cut).status, results::RowStatus::FailedModification);
    // Text put after the odd byte would shift every unit after it.
    f.host.list.SetResultStatus(odd, results::RowStatus::Found);
    f.regex({"[^a-z\n]+"}, {"z"});
    f.c.modificationType = ModificationType::InsertAfter;
    f.modifyAll();
    EXPECT_EQ(f.read("odd.txt"), oddEnd);
    EXPECT_EQ(f.host.list.row(odd).status, results::RowStatus::FailedModification);
    EXPECT_EQ(f.driver.failureOf(odd), "its encoding, UTF-16 LE, would get a damaged unit out of step with the characters after it");
}

// Every search type over a CR LF file and a file of mixed line ends, on a Unix setting: a file
// in an encoding of its own keeps the end of each line that survives, and new lines get the
// end the file mostly has; a file of the chosen encoding is written with the separator.
TEST(ModifyEncodings, EachFileKeepsItsOwnLineEnds) {
    const std::u32string crlf = U"cat one\r\ntwo cat\r\nthree\r\n";
    const std::u32string mixed = U"cat one\r\ntwo cat\nthree\rcat four";
    struct Case {
        const char* what;
        std::function<void(test::ModifyFixture&)> query;
        std::u32string crlf, mixed;
    };
    const Case cases[] = {
        {"phrase", [](test::ModifyFixture& f) { f.phrase("cat", "dog"); },
         U"dog one\r\ntwo dog\r\nthree\r\n", U"dog one\r\ntwo dog\nthree\rdog four"},
        {"regex by line", [](test::ModifyFixture& f) { f.regex({"c.t"}, {"dog"}); },
         U"dog one\r\ntwo dog\r\nthree\r\n", U"dog one\r\ntwo dog\nthree\rdog four"},
        {"regex over the text", [](test::ModifyFixture& f) { f.regex({"one", "two"}, {"1"}); },
         U"cat 1 cat\r\nthree\r\n", U"cat 1 cat\nthree\rcat four"},
        {"block", [](test::ModifyFixture& f) { f.block({"two cat"}, {"2", "II"}); },
         U"cat one\r\n2\r\nII\r\nthree\r\n", U"cat one\r\n2\r\nII\r\nthree\rcat four"},
        {"block delete", [](test::ModifyFixture& f) {
             f.block({"cat one"}, {});
             f.c.modificationType = ModificationType::Delete;
         },
         U"two cat\r\nthree\r\n", U"two cat\nthree\rcat four"},
    };
    for (const Case& c : cases) {
        test::ModifyFixture f;
        f.options.separator = LineSeparator::Unix;
        c.query(f);
        for (Form form : {Form::Utf16Le, Form::Utf32Be, Form::Utf8Mark, Form::Chosen}) {
            f.add("crlf" + std::to_string(static_cast<int>(form)), fileBytes(form, crlf));
            f.add("mixed" + std::to_string(static_cast<int>(form)), fileBytes(form, mixed));
        }
        f.modifyAll();
        for (Form form : {Form::Utf16Le, Form::Utf32Be, Form::Utf8Mark}) {
            EXPECT_EQ(f.read("crlf" + std::to_string(static_cast<int>(form))), fileBytes(form, c.crlf))
                << c.what << " " << static_cast<int>(form);
            EXPECT_EQ(f.read("mixed" + std::to_string(static_cast<int>(form))), fileBytes(form, c.mixed))
                << c.what << " " << static_cast<int>(form);
        }
        std::u32string unix = c.crlf;
        for (std::size_t at; (at = unix.find(U"\r\n")) != std::u32string::npos;) unix.erase(at, 1);
        EXPECT_EQ(f.read("crlf0"), utf8Of(unix)) << c.what;
    }
}

}  // namespace
}  // namespace vsr::engine
