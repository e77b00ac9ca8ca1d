#include <gtest/gtest.h>

#include "report_fixture.h"

namespace vsr::reports::test {
namespace {

TEST(SearchReport, OneWordDocumentByteForByte) {
    ReportFixture f;
    f.addFile("/data/a.txt", "one foo\r\ntwo\r\nfoo foo\r\n");
    f.addFile("/data/b.txt", "no\n");
    f.addFile("/data/c.txt", "Foo\n");
    f.conditions.findText = "foo";
    const ReportText r = f.report();
    ASSERT_TRUE(r.complete);
    const std::string t = f.timeText();
    const std::string pad(t.size() - 4, ' ');
    const std::string expected =
        reportFrame() +
        "Path: " + B + "/data" + E + "\r\n"
        "Include Subfolders:" + B + " ON " + E + "\r\n"
        "Masks: " + B + "*.*" + E + "\r\n"
        "Tab:" + B + " Find" + E + "\r\n"
        "Query Type:" + B + " Phrase" + E + "\r\n"
        "Query: <code>foo</code>\r\n"
        "\r\n"
        "<strong>Files in List: </strong>" + B + "2" + E + "\r\n"
        "<strong>Found Occurrences: </strong>" + B + "4" + E + "\r\n"
        "\r\n"
        "Name   Path   Found  Attributes  Time" + pad + "  Size      Type      Result  \r\n"
        "<a name=\"1-List\"></a><a href=\"#1\">a.txt</a>  /data      3              " + t + "  0.023 KB  TXT File  Found   \r\n"
        "<a name=\"2-List\"></a><a href=\"#2\">c.txt</a>  /data      1              " + t + "  0.004 KB  TXT File  Found   \r\n"
        "\r\n"
        "<a name=\"1\"></a><a href=\"#1-List\"><strong>File:  a.txt      Path:  /data</strong></a>\r\n"
        " line 1: one " + B + "foo" + E + "\r\n"
        " line 3: " + B + "foo" + E + " " + B + "foo" + E + "\r\n"
        "\r\n"
        "<a name=\"2\"></a><a href=\"#2-List\"><strong>File:  c.txt      Path:  /data</strong></a>\r\n"
        " line 1: " + B + "Foo" + E + "\r\n"
        "</body>\r\n"
        "</html>\r\n";
    EXPECT_EQ(r.text, expected);
    EXPECT_EQ(f.progressSeen, (std::vector<int>{0, 50}));
}

TEST(SearchReport, ThreeWordsSumEachWordAndLeftAlignTheirCounts) {
    ReportFixture f;
    f.addFile("/data/a.txt", "alpha beta\nbeta\n");
    f.addFile("/data/b.txt", "Gamma alpha\n");
    f.conditions.queryType = engine::QueryType::WordsOr;
    f.conditions.findText = "Alpha beta gamma";
    const std::string text = f.report().text;
    EXPECT_NE(text.find("Query Type:" + B + " Words: or" + E + "\r\n"), std::string::npos);
    EXPECT_EQ(between(text, "<strong>Files in List: </strong>", "\r\n\r\nName"),
              B + "2" + E + "\r\n<strong>Found Occurrences</strong>\r\n"
              "Alpha: " + B + "2" + E + "\r\nbeta: " + B + "2" + E + "\r\ngamma: " + B + "1" + E);
    // Count lists are text: left-aligned under their caption.
    EXPECT_NE(text.find("a.txt</a>  /data  1, 2, 0  "), std::string::npos) << text;
    EXPECT_NE(text.find("b.txt</a>  /data  1, 0, 1  "), std::string::npos) << text;
}

TEST(SearchReport, WordCountsComeFromTheCompleteListsNotTheCutFoundText) {
    ReportFixture f;
    std::string query;
    std::string contents;
    // 120 words make a Found text longer than 240 characters, which the list cuts with ",...".
    for (int i = 0; i < 120; ++i) {
        query += "w" + std::to_string(i) + " ";
        contents += "w" + std::to_string(i) + " ";
    }
    f.addFile("/data/a.txt", contents + "w119\n");
    f.conditions.queryType = engine::QueryType::WordsOr;
    f.conditions.findText = query;
    const std::string text = f.report().text;
    ASSERT_NE(f.host.list.row(0).found.find(",..."), std::string::npos);
    EXPECT_NE(text.find("\r\nw0: " + B + "1" + E + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nw119: " + B + "2" + E + "\r\n"), std::string::npos);
}

TEST(SearchReport, SearchByNameOnlyHasNoAnchorsAndNoFoundLines) {
    ReportFixture f;
    f.addFile("/data/a.txt", "x\n");
    f.conditions.masks = "*.txt";
    const std::string text = f.report().text;
    const std::string t = f.timeText();
    const std::string pad(t.size() - 4, ' ');
    EXPECT_EQ(text.substr(text.find("Query: ")),
              "Query: <code></code>\r\n"
              "\r\n"
              "<strong>Files in List: </strong>" + B + "1" + E + "\r\n"
              "\r\n"
              "Name   Path   Attributes  Time" + pad + "  Size      Type      Result  \r\n"
              "a.txt  /data              " + t + "  0.002 KB  TXT File  Found   \r\n"
              "</body>\r\n</html>\r\n");
}

TEST(SearchReport, EmptyListHasSummaryButNoTable) {
    ReportFixture f;
    f.addFile("/data/a.txt", "x\n");
    f.conditions.findText = "absent";
    const std::string text = f.report().text;
    EXPECT_NE(text.find("<strong>Files in List: </strong>" + B + "0" + E + "\r\n\r\n</body>\r\n</html>\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("Found Occurrences"), std::string::npos);
}

TEST(SearchReport, MultilineBlocksAreBlueAndTheQueryEndsWithoutLineEnd) {
    ReportFixture f;
    f.addFile("/data/a.txt", "x\n  begin\nend  \ny\nbegin\nend\n");
    f.conditions.queryType = engine::QueryType::Multiline;
    f.conditions.findLines = {"begin", "end"};
    const std::string text = f.report().text;
    EXPECT_NE(text.find("Query Type:" + B + " Multiline" + E + "\r\n"
                        "Ignore Leading Spaces: " + B + "ON" + E + "\r\n"
                        "Ignore Trailing Spaces: " + B + "ON" + E + "\r\n"
                        "Query:<code>\r\nbegin\r\nend\r\n</code>\r\n<strong>Files in List"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("</strong></a>\r\n" + B + " line 2 - line 3" + E + "\r\n" + B + " line 5 - line 6" + E + "\r\n"),
              std::string::npos)
        << text;
}

TEST(SearchReport, RegExprMatchOverSeveralLinesIsMarkedOnEachLine) {
    ReportFixture f;
    f.addFile("/data/a.txt", "one <start\nmiddle & more\nend> two\n");
    f.conditions.queryType = engine::QueryType::RegExpr;
    f.conditions.findLines = {"<start\\r\\n.*\\r\\nend>"};
    const std::string text = f.report().text;
    EXPECT_NE(text.find("Query Type:" + B + " Reg Expr" + E + "\r\nQuery:<code>\r\n&lt;start\\r\\n.*\\r\\nend&gt;\r\n</code>\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("<strong>Found Occurrences: </strong>" + B + "1" + E), std::string::npos);
    EXPECT_NE(text.find("</strong></a>\r\n"
                        " line 1: one " + B + "&lt;start" + E + "\r\n"
                        " line 2: " + B + "middle &amp; more" + E + "\r\n"
                        " line 3: " + B + "end&gt;" + E + " two\r\n</body>"),
              std::string::npos)
        << text;
}

TEST(SearchReport, NamesWithAmpersandAndLessThanAreEscapedAndStillAligned) {
    ReportFixture f;
    f.addFile("/data/a&b.txt", "x\n");
    f.addFile("/data/<c>.txt", "x\n");
    f.addFile("/data/dd.txt", "x\n");
    f.conditions.findText = "x";
    const std::string text = f.report().text;
    // Padding counts the name as shown: "a&b.txt" and "<c>.txt" are 7 characters, "dd.txt" 6.
    EXPECT_NE(text.find("<a href=\"#1\">a&amp;b.txt</a>  /data  "), std::string::npos) << text;
    EXPECT_NE(text.find("<a href=\"#2\">&lt;c&gt;.txt</a>  /data  "), std::string::npos) << text;
    EXPECT_NE(text.find("<a href=\"#3\">dd.txt</a>   /data  "), std::string::npos) << text;
    EXPECT_NE(text.find("<strong>File:  &lt;c&gt;.txt      Path:  /data</strong>"), std::string::npos);
}

// The report says it is UTF-8 and is: names stay as the file system has them, while the query
// and the lines, which are text of the chosen single-byte encoding, are turned into UTF-8.
TEST(SearchReport, TextOfASingleByteEncodingIsWrittenAsUtf8) {
    ReportFixture f;
    f.conditions.textEncoding = platform::CodePageId::Windows1251;
    const std::string home = "\xD0\xB4\xD0\xBE\xD0\xBC";  // the word for "house" in UTF-8
    f.addFile("/data/" + home + ".txt", "\xE4\xEE\xEC & x\n");  // the same word in Windows-1251
    f.conditions.findText = "\xE4\xEE\xEC";
    const std::string text = f.report().text;
    EXPECT_EQ(text.find("<head>\r\n<meta charset=\"utf-8\">\r\n"), 8u) << text;
    EXPECT_NE(text.find("Query: <code>" + home + "</code>"), std::string::npos) << text;
    EXPECT_NE(text.find("<a href=\"#1\">" + home + ".txt</a>"), std::string::npos) << text;
    EXPECT_NE(text.find("<strong>File:  " + home + ".txt      Path:  /data</strong>"), std::string::npos) << text;
    EXPECT_NE(text.find(" line 1: " + B + home + E + " &amp; x\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find('\xE4'), std::string::npos) << text;
}

// Under UTF-8 a stray byte of a line is written as the character the Lines Viewer shows for it;
// well-formed text is written unchanged.
TEST(SearchReport, AStrayByteUnderUtf8BecomesTheCharacterTheViewerShows) {
    ReportFixture f;
    f.conditions.textEncoding = platform::CodePageId::Utf8;
    f.addFile("/data/a.txt", "caf\xE9 na\xC3\xAFve x\n");
    f.conditions.findText = "x";
    const std::string text = f.report().text;
    EXPECT_NE(text.find(" line 1: caf\xC3\xA9 na\xC3\xAFve " + B + "x" + E + "\r\n"), std::string::npos) << text;
}

TEST(SearchReport, OverlappingWordsMakeOneMarkTouchingWordsTwo) {
    ReportFixture f;
    f.addFile("/data/a.txt", "abcd\nxyzw\n");
    f.conditions.queryType = engine::QueryType::WordsOr;
    f.conditions.findText = "abc bcd xy zw";
    const std::string text = f.report().text;
    EXPECT_NE(text.find(" line 1: " + B + "abcd" + E + "\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" line 2: " + B + "xy" + E + B + "zw" + E + "\r\n"), std::string::npos) << text;
}

TEST(SearchReport, LongLineShowsItsFirst1024CharactersAndMarksOnlyThere) {
    ReportFixture f;
    std::string line(2000, '.');
    line.replace(10, 3, "key");
    line.replace(1013, 3, "key");  // " line 1: " puts it at 1022..1024 of the entry: cut after "ke"
    line.replace(1500, 3, "key");
    f.addFile("/data/a.txt", line + "\n");
    f.conditions.findText = "key";
    const std::string text = f.report().text;
    const std::string entry = between(text, "</strong></a>\r\n", "\r\n</body>");
    EXPECT_EQ(entry.size(), 1024u + 2 * 29) << entry;
    EXPECT_EQ(entry.substr(0, 19), " line 1: ..........");
    EXPECT_NE(entry.find(B + "key" + E), std::string::npos);
    EXPECT_EQ(entry.substr(entry.size() - 31), B + "ke" + E) << entry;
    EXPECT_NE(text.find("<strong>Found Occurrences: </strong>" + B + "3" + E), std::string::npos);
}

TEST(SearchReport, StoppedReportLacksTheRestAndItsClosingLines) {
    ReportFixture f;
    f.addFile("/data/a.txt", "foo\n");
    f.addFile("/data/b.txt", "foo\n");
    f.conditions.findText = "foo";
    f.stopBeforeRow = 1;
    const ReportText r = f.report();
    EXPECT_FALSE(r.complete);
    EXPECT_NE(r.text.find("a.txt      Path"), std::string::npos);
    EXPECT_EQ(r.text.find("b.txt      Path"), std::string::npos);
    EXPECT_EQ(r.text.find("</html>"), std::string::npos);
}

}  // namespace
}  // namespace vsr::reports::test

namespace vsr::reports::test {
namespace {

TEST(ReportConditions, EveryConditionInItsOrderAndMarkup) {
    engine::SearchConditions c = engine::formConditions("/data");
    c.tab = engine::Tab::SearchAndReplace;
    c.searchType = engine::SearchType::RegExpr;
    c.searchLines = {"a<b", "c"};
    c.path = "/data/R&D";
    c.includeSubfolders = false;
    c.ignoreDirectories = true;
    c.directoryIgnoreList = {"  .git ", "", "   ", "<tmp>"};
    c.ignoreFiles = true;
    c.fileIgnoreList = {"*.o"};
    c.createBackups = true;
    c.dotMatchesAll = true;
    c.extendedSyntax = true;
    c.eachLineSeparately = true;
    c.caseSensitive = true;
    c.wholeWords = true;  // not shown beside the multi-line field, so not written
    c.sizeFilter = true;
    c.sizeLimitKind = engine::SizeLimitKind::Minimum;
    c.sizeValue = 12;
    c.sizeUnit = engine::SizeUnit::MB;
    c.dateFilter = true;
    c.dateLimitKind = engine::DateLimitKind::Between;
    c.minDate = {2024, 1, 2};
    c.maxDate = {2024, 3, 4};
    platform::FakeLocaleFormats formats;
    EXPECT_EQ(conditionLines(c, formats),
              "Path: " + B + "/data/R&amp;D" + E + "\r\n"
              "Include Subfolders:" + B + " OFF " + E + "\r\n"
              "Ignore Directories:" + B + " ON " + E + "\r\n"
              "Directory Ignore List:\r\n" + B + ".git" + E + "\r\n" + B + "&lt;tmp&gt;" + E + "\r\n"
              "Ignore Subfolders Too:" + B + " OFF " + E + "\r\n"
              "Masks: " + B + "*.*" + E + "\r\n"
              "Ignore Files:" + B + " ON " + E + "\r\n"
              "File Ignore List:\r\n" + B + "*.o" + E + "\r\n"
              "Tab: " + B + "Search and Replace " + E + "(Search Backup Files: " + B + "Cannot" + E + ")\r\n"
              "Query Type:" + B + " Reg Expr" + E + "\r\n"
              "\".\" Matches Line Separators Too: " + B + "ON" + E + "\r\n"
              "Ignore Whitespaces in Reg Expr: " + B + "ON" + E + "\r\n"
              "Search within Each Single Line: " + B + " ON" + E + "\r\n"
              "Case Sensitive:" + B + " ON " + E + "\r\n"
              "File Size: " + B + "ON" + E + " (Minimum " + B + "12 MB" + E + ")\r\n"
              "File Date: " + B + "ON" + E + " (Between " + B + "2024-01-02" + E + " and " + B + "2024-03-04" + E + ")\r\n"
              "To Search: <code>\r\na&lt;b\r\nc\r\n</code>");

    c.searchInResults = true;
    c.searchType = engine::SearchType::Phrase;
    c.searchText = "x";
    c.createBackups = false;
    c.caseSensitive = false;
    c.ignoreFiles = false;
    c.sizeFilter = false;
    c.dateLimitKind = engine::DateLimitKind::NewerThan;
    c.daysAgo = 7;
    EXPECT_EQ(conditionLines(c, formats),
              "Search in Results:" + B + " ON " + E + "\r\n"
              "Masks: " + B + "*.*" + E + "\r\n"
              "Tab: " + B + "Search and Replace " + E + "(Search Backup Files: " + B + "Can" + E + ")\r\n"
              "Query Type:" + B + " Phrase" + E + "\r\n"
              "Whole Words: " + B + "ON" + E + "\r\n"
              "File Date: " + B + "ON" + E + " (Newer than " + B + "7" + E + " days ago)\r\n"
              "To Search: <code>x</code> \r\n");
}

TEST(ReportConditions, FindTabRegExprSwitchesCarryALeadingBlank) {
    engine::SearchConditions c = engine::formConditions("/data");
    c.queryType = engine::QueryType::RegExpr;
    c.findLines = {"x"};
    c.dotMatchesAll = true;
    c.extendedSyntax = false;
    c.eachLineSeparately = true;
    platform::FakeLocaleFormats formats;
    const std::string text = conditionLines(c, formats);
    EXPECT_NE(text.find("Query Type:" + B + " Reg Expr" + E + "\r\n\".\" Matches Line Separators Too: " + B + " ON" + E +
                        "\r\nSearch within Each Single Line: " + B + " ON" + E + "\r\n"),
              std::string::npos)
        << text;
}

}  // namespace
}  // namespace vsr::reports::test
