#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace {

int runSearch(const std::string& arguments) {
    std::string command = std::string(VSR_SEARCH_EXE) + " " + arguments + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ListFile, WritesTheRowsAsATableOverAReadOnlyFile) {
    vsr::test::TempDir dir;
    dir.write("tree/one.txt", "alpha beta alpha\n");
    dir.write("tree/noext", "beta\n");
    auto list = dir.write("out.lst", "old contents\r\n");
    std::filesystem::permissions(list, std::filesystem::perms::owner_read);

    ASSERT_EQ(runSearch("--path '" + dir.str() + "/tree' --masks '*.*' --type or --query 'alpha beta' --list-file '" +
                        list.string() + "'"),
              0);
    std::string text = vsr::test::readFile(list);
    ASSERT_EQ(text.rfind("Name ", 0), 0u) << text;
    // Several words: their counts stand left-aligned in the Found column.
    EXPECT_NE(text.find("one.txt  " + dir.str() + "/tree  2, 1 "), std::string::npos) << text;
    EXPECT_NE(text.find("noext    " + dir.str() + "/tree  0, 1 "), std::string::npos) << text;
    // The table shows what printed rows leave out: each file's size and time.
    EXPECT_NE(text.find("0.017 KB"), std::string::npos) << text;
    EXPECT_NE(text.find("0.005 KB"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST(ListFile, NeedsAFileName) {
    EXPECT_EQ(runSearch("--path / --query x --list-file"), 2);
}

}  // namespace
