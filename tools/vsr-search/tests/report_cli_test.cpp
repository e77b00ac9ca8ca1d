#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace {

using vsr::test::runProgram;

const std::string B = "<font color=\"#0000FF\">";
const std::string E = "</font>";

TEST(ReportCli, WritesTheReportOfTheRunOverAReadOnlyFile) {
    vsr::test::TempDir dir;
    dir.write("tree/a.txt", "one two\r\ntwo three one\r\n");
    const auto report = dir.write("report.htm", "old");
    std::filesystem::permissions(report, std::filesystem::perms::owner_read);
    const auto run = runProgram(VSR_SEARCH_EXE, {"--path", dir.str() + "/tree", "--type", "or", "--query",
                                                 "one three", "--report", report.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = vsr::test::readFile(report);
    // The moment the report was made is the machine's; everything else is fixed.
    EXPECT_TRUE(std::regex_search(text, std::regex("<div align=center>Search Report: <font color=\"#0000FF\">"
                                                   "[^<]+ [^<]+</font>\r\n</div>\r\n")))
        << text;
    EXPECT_NE(text.find("<strong>Found Occurrences</strong>\r\none: " + B + "2" + E + "\r\nthree: " + B + "1" + E + "\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(" line 2: two " + B + "three" + E + " " + B + "one" + E + "\r\n</body>\r\n</html>\r\n"),
              std::string::npos)
        << text;
}

TEST(ReportCli, WritesTheBrowseContextOfARow) {
    vsr::test::TempDir dir;
    std::string lines;
    for (int k = 1; k <= 9; ++k) lines += "line" + std::to_string(k) + (k == 3 || k == 7 ? " hit\n" : "\n");
    dir.write("tree/a.txt", lines);
    const std::string page = dir.str() + "/browse.htm";
    const auto run = runProgram(VSR_SEARCH_EXE, {"--path", dir.str() + "/tree", "--query", "hit", "--context", "1",
                                                 "--browse", "1", page});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(vsr::test::readFile(page),
              "<html>\r\n<meta charset=\"utf-8\">\r\n<Title>Context</Title>\r\n<body>\r\n<pre>\r\n<strong>     File:  a.txt      Path:  " + dir.str() +
                  "/tree</strong>\r\n line 2: line2\r\n" + B + "*" + E + "line 3: line3 " + B + "hit" + E +
                  "\r\n line 4: line4\r\n\r\n line 6: line6\r\n" + B + "*" + E + "line 7: line7 " + B + "hit" + E +
                  "\r\n line 8: line8\r\n</pre>\r\n</body>\r\n</html>\r\n");
}

TEST(ReportCli, RefusesBadReportOptions) {
    vsr::test::TempDir dir;
    dir.write("tree/a.txt", "hit\n");
    const std::string tree = dir.str() + "/tree";
    EXPECT_EQ(runProgram(VSR_SEARCH_EXE, {"--path", tree, "--query", "hit", "--browse", "2", dir.str() + "/b.htm"}).status, 2);
    EXPECT_EQ(runProgram(VSR_SEARCH_EXE, {"--path", tree, "--query", "hit", "--browse", "0", dir.str() + "/b.htm"}).status, 2);
    EXPECT_EQ(runProgram(VSR_SEARCH_EXE, {"--path", tree, "--query", "hit", "--context", "many", "--browse", "1",
                                          dir.str() + "/b.htm"}).status, 2);
    EXPECT_EQ(runProgram(VSR_SEARCH_EXE, {"--path", tree, "--query", "hit", "--context", "3"}).status, 2);
    const auto unwritable = runProgram(VSR_SEARCH_EXE, {"--path", tree, "--query", "hit", "--report", dir.str() + "/no/r.htm"});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.err.find("Cannot open file " + dir.str() + "/no/r.htm"), std::string::npos) << unwritable.err;
}

}  // namespace
