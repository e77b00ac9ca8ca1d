#include <gtest/gtest.h>

#include <filesystem>

#include "list_builder.h"
#include "platform/attribute_changer.h"
#include "results/saved_list.h"
#include "support/temp_dir.h"

namespace vsr::results {
namespace {

using test::row;

TEST(SavedList, OneWordQueryRightAlignsFoundAndSize) {
    ResultList list;
    list.createResultColumn();
    list.AddResultItem(row("a.txt", "/d", "3", "", "2026-01-02 10:00:00", "0.005 KB", "TXT File"));
    list.AddResultItem(row("long_name.c", "/d/sub", "12", "R", "2026-01-03 09:00:00", "12.5 KB", "C File"));
    list.SetResultStatus(1, RowStatus::Modified);

    const std::string expected =
        "Name         Path    Found  Attributes  Time                 Size      Type      Result    \r\n"
        "a.txt        /d          3              2026-01-02 10:00:00  0.005 KB  TXT File  Found     \r\n"
        "long_name.c  /d/sub     12  R           2026-01-03 09:00:00   12.5 KB  C File    Modified  \r\n";
    EXPECT_EQ(savedListText(list, {}), expected);
}

TEST(SavedList, SeveralWordsAndIntervalsLineUp) {
    ResultList list;
    list.createResultColumn();
    list.AddResultItem(row("a", "/p", "3, 1, 2", "", "t1", "1.0 KB", ""));
    list.AddResultItem(row("b", "/p", "10, 0, 0", "", "t2", "10.0 KB", ""));
    list.AddResultItem(row("c", "/p", "0, 0, 1", "", "t3", "0.100 KB", ""));
    list.setInterval(1, {10, 25});
    list.setInterval(2, {0, 7});
    list.SetResultStatus(1, RowStatus::Undid);
    list.SetResultStatus(2, RowStatus::Modified);
    list.RefreshIntervalDisplay(2, true, true);
    ASSERT_EQ(list.row(1).result, "Undid        \\10 - 25");

    // The "|" of the caption and every interval text start in the same column.
    const std::string expected =
        "Name  Path  Found     Attributes  Time  Size      Type  Result   |  Modification Interval   \r\n"
        "a     /p    3, 1, 2               t1      1.0 KB        Found       All file                \r\n"
        "b     /p    10, 0, 0              t2     10.0 KB        Undid       \\10 - 25                \r\n"
        "c     /p    0, 0, 1               t3    0.100 KB        Modified    \\Top - 7                \r\n";
    SavedListOptions options;
    options.queryWords = 3;
    EXPECT_EQ(savedListText(list, options), expected);
}

TEST(SavedList, FileNameSearchHasNoFoundColumnAndCommandLineHeader) {
    ResultList list;
    list.removeFoundColumn();
    list.createResultColumn();
    list.AddResultItem(row("caf\xc3\xa9.txt", "/home/u", "", "RH", "x", "1500.0 KB", "Text"));
    list.AddResultItem(row("b", "/", "", "", "y", "0.000 KB", ""));
    list.SetResultStatus(1, RowStatus::FailedModification);

    SavedListOptions options;
    options.commandLine = "vantixsr /tmp/p.vsr -com -fs=/tmp/l.lst";
    const std::string expected =
        "Command Line: vantixsr /tmp/p.vsr -com -fs=/tmp/l.lst\r\n"
        "\r\n"
        "Name      Path     Attributes  Time  Size       Type  Result               \r\n"
        "caf\xc3\xa9.txt  /home/u  RH          x     1500.0 KB  Text  Found                \r\n"
        "b         /                    y      0.000 KB        Failed Modification  \r\n";
    EXPECT_EQ(savedListText(list, options), expected);
}

// Widths count characters; names stay as the file system gave them, other texts are written
// in the list's encoding.
TEST(SavedList, WidthsCountCharactersAndOnlyNamesKeepTheirBytes) {
    ResultList list;
    list.createResultColumn();
    // "файл.txt" (8 characters in 12 bytes), a Latin-1 name whose byte is no UTF-8 character,
    // and "Текст" as the system names the type.
    list.AddResultItem(row("\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB.txt", "/d", "3", "", "t", "1.0 KB",
                           "\xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82"));
    list.AddResultItem(row("caf\xE9.c", "/d", "12", "", "t", "1.0 KB", "C"));
    auto expected = [](const std::string& type) {
        return "Name      Path  Found  Attributes  Time  Size    Type   Result  \r\n"
               "\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB.txt  /d        3              t     1.0 KB  " + type + "  Found   \r\n"
               "caf\xE9.c    /d       12              t     1.0 KB  C      Found   \r\n";
    };
    SavedListOptions options;
    EXPECT_EQ(savedListText(list, options), expected("\xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82"));
    options.textEncoding = platform::CodePageId::Windows1251;
    EXPECT_EQ(savedListText(list, options), expected("\xD2\xE5\xEA\xF1\xF2"));
    // A page without Cyrillic writes what it lacks as one "?" per character, and still lines up.
    options.textEncoding = platform::CodePageId::Windows1252;
    EXPECT_EQ(savedListText(list, options), expected("?????"));
}

TEST(SavedList, EmptyListIsTheHeaderOnly) {
    ResultList list;
    list.createResultColumn();
    EXPECT_EQ(savedListText(list, {}),
              "Name  Path  Found  Attributes  Time  Size  Type  Result  \r\n");
}

TEST(SavedList, ShortUndidTextsKeepTheirBlanks) {
    ResultList list;
    list.createResultColumn();
    list.AddResultItem(row("a", "/p", "1", "", "t", "1.0 KB", ""));
    list.SetResultStatus(0, RowStatus::Undid);
    std::string text = savedListText(list, {});
    EXPECT_NE(text.find("  Undid   \r\n"), std::string::npos) << text;
}

TEST(SavedListFile, OverwritesAReadOnlyFileWhole) {
    test::TempDir dir;
    auto file = dir.write("old.lst", "previous contents that are longer than the new ones\r\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    platform::PosixAttributeChanger attributes;
    ASSERT_TRUE(writeSavedList(file.string(), "new\r\n", attributes));
    EXPECT_EQ(test::readFile(file), "new\r\n");
}

TEST(SavedListFile, AnUnwritableFolderFailsAndLeavesNothing) {
    test::TempDir dir;
    platform::PosixAttributeChanger attributes;
    std::string path = dir.str() + "/missing/folder/x.lst";
    EXPECT_FALSE(writeSavedList(path, "x", attributes));
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace vsr::results
