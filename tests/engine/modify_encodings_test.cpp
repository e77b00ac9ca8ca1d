// Modify works on a file's characters and writes it back in its own encoding, with its mark
// and its CR LF line ends, backup holding the old bytes; a replacement the encoding cannot
// hold (an omega into Windows-1251), or a file whose text would not come back as it was, leaves the file as it was.
#include <gtest/gtest.h>

#include "encoded_files.h"
#include "engine/modify/modify_preview.h"
#include "modify_fixture.h"

namespace vsr::engine {
namespace {

using Form = FileEncoding::Form;
using test::fileBytes;

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
    EXPECT_EQ(f.read("utf16.txt"), broken);
    EXPECT_EQ(f.host.list.row(page).status, results::RowStatus::FailedModification);
    EXPECT_EQ(f.host.list.row(utf16).status, results::RowStatus::FailedModification);
    EXPECT_EQ(f.driver.failureOf(page), "its encoding, Windows-1251, cannot hold the character \"\xCE\xA9\" (U+03A9)");
    EXPECT_EQ(preview.content.failure, f.driver.failureOf(page));
    EXPECT_EQ(f.driver.failureOf(utf16), "it is not well-formed UTF-16 LE text, so it could not be written back as it was");
    // A replacement the page holds goes through, and the line end stays CR LF.
    f.phrase("\xD0\x90", "\xD0\xAF");
    f.host.list.SetResultStatus(page, results::RowStatus::Found);
    f.modifyAll();
    EXPECT_EQ(f.read("page.txt"), "\xDF\xC1\xC2\r\n");
}

}  // namespace
}  // namespace vsr::engine
