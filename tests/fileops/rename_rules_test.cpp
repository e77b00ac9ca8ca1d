#include <gtest/gtest.h>

#include "fileops/rename_rules.h"

namespace vsr::fileops {
namespace {

RenameCommands prefix(std::string p) {
    RenameCommands c;
    c.prefix = std::move(p);
    return c;
}

TEST(RenameValidation, FirstFailureWinsInTheDialogsOrder) {
    struct Case {
        const char* what;
        RenameCommands commands;
        std::optional<std::string> message;
    };
    RenameCommands badExtAndNothing;
    badExtAndNothing.newExtensionOn = true;
    badExtAndNothing.newExtension = "a.b";
    RenameCommands badNameAndBadExt = prefix("x|y");
    badNameAndBadExt.newExtensionOn = true;
    badNameAndBadExt.newExtension = "a*b";
    RenameCommands blanksOnly = prefix("   ");
    blanksOnly.suffix = "\t";
    RenameCommands removeOnly;
    removeOnly.remove = true;
    RenameCommands emptyExtension;
    emptyExtension.newExtensionOn = true;
    RenameCommands quoteInExtension;
    quoteInExtension.newExtensionOn = true;
    quoteInExtension.newExtension = "h\"tm";
    const std::vector<Case> cases = {
        {"nothing at all", {}, kNoCommands},
        {"blanks are no command", blanksOnly, kNoCommands},
        {"remove alone is a command", removeOnly, std::nullopt},
        {"an empty new extension is a command", emptyExtension, std::nullopt},
        {"name characters before the extension", badNameAndBadExt, kBadNameCharacters},
        {"a dot inside the extension", badExtAndNothing, kBadExtensionCharacters},
        {"a quotation mark in the extension", quoteInExtension, kBadExtensionCharacters},
        {"slash in the prefix", prefix("a/b"), kBadNameCharacters},
        {"backslash in the prefix", prefix("a\\b"), kBadNameCharacters},
        {"colon in the prefix", prefix("c:"), kBadNameCharacters},
        {"NUL byte would cut the name", prefix(std::string("a\0b", 3)), kBadNameCharacters},
        {"plain prefix", prefix("old_"), std::nullopt},
    };
    for (Case c : cases) EXPECT_EQ(validateRenameCommands(c.commands), c.message) << c.what;
    EXPECT_EQ(std::string(kBadNameCharacters),
              "A file name cannot contain any of the following characters: \\/:*?\"<><>|");
}

TEST(RenameValidation, TrimsWhatTheDialogShowsAndDropsOneLeadingDot) {
    RenameCommands c = prefix("  new_ ");
    c.suffix = " _1\t";
    c.newExtensionOn = true;
    c.newExtension = " .htm ";
    EXPECT_EQ(validateRenameCommands(c), std::nullopt);
    EXPECT_EQ(c.prefix, "new_");
    EXPECT_EQ(c.suffix, "_1");
    EXPECT_EQ(c.newExtension, "htm");

    // Only one dot goes; the second is reported.
    RenameCommands twoDots;
    twoDots.newExtensionOn = true;
    twoDots.newExtension = "..htm";
    EXPECT_EQ(validateRenameCommands(twoDots), kBadExtensionCharacters);

    // The extension is left alone while "New Extension:" is off.
    RenameCommands off = prefix("p");
    off.newExtension = " .a.b ";
    EXPECT_EQ(validateRenameCommands(off), std::nullopt);
    EXPECT_EQ(off.newExtension, " .a.b ");
}

TEST(RenameRule, NewNames) {
    struct Case {
        const char* name;
        std::string prefix, suffix;
        bool remove;
        int first, number;
        bool extOn;
        std::string ext;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"report.txt", "old_", "", true, 1, 1, true, "bak", "old_eport.bak"},
        {"readme", "", "_1", false, 1, 1, false, "", "readme_1"},
        {"hello.txt", "", "", true, 10, 3, false, "", "hello.txt"},     // start beyond the base
        {"hello.txt", "", "", true, 4, 99, false, "", "hel.txt"},       // runs past the end
        {"hello.txt", "", "", true, 2, 3, false, "", "ho.txt"},
        {"hello.txt", "", "", true, 1, 5, false, "", ".txt"},           // base emptied
        {"page.html", "", "", false, 1, 1, true, "", "page"},           // extension removed
        {"archive.tar.gz", "x", "", false, 1, 1, false, "", "xarchive.tar.gz"},
        {"archive.tar.gz", "", "_v2", false, 1, 1, false, "", "archive.tar_v2.gz"},
        {"Makefile", "", "", false, 1, 1, true, "mk", "Makefile.mk"},
        {"naïve.txt", "", "", true, 3, 1, false, "", "nave.txt"},  // positions count characters
        {"ab.c", "p", "s", true, 1, 1, true, "d", "pbs.d"},
    };
    for (const Case& c : cases) {
        RenameCommands r;
        r.prefix = c.prefix;
        r.suffix = c.suffix;
        r.remove = c.remove;
        r.firstPosition = c.first;
        r.number = c.number;
        r.newExtensionOn = c.extOn;
        r.newExtension = c.ext;
        EXPECT_EQ(newFileName(c.name, r), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace vsr::fileops
