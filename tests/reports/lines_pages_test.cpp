#include "reports/lines_pages.h"

#include <gtest/gtest.h>

#include "report_fixture.h"
#include "reports/html_text.h"
#include "reports/search_report.h"

namespace vsr::reports::test {
namespace {

constexpr platform::CodePageId kUtf8 = platform::CodePageId::Utf8;
const std::string kHead = "<html>\r\n<meta charset=\"utf-8\">\r\n<Title>Context</Title>\r\n<body>\r\n<pre>\r\n";
const std::string kTail = "</pre>\r\n</body>\r\n</html>\r\n";

// A file of `n` lines "text k" and a Lines Viewer showing `found` with "text" marked.
struct Browsed {
    std::string bytes;
    engine::LinesViewerContent content;
    Browsed(int n, std::vector<int> found) {
        for (int k = 1; k <= n; ++k) bytes += "text " + std::to_string(k) + "\r\n";
        content.start(0, "/d", "f.txt");
        for (int k : found) {
            engine::FoundLine* e = content.addLine(k, "text " + std::to_string(k), true);
            e->highlights.push_back({static_cast<int>(engine::foundLinePrefix(k).size()), 4});
        }
    }
    std::string page(std::int64_t context) const {
        return browseContextText(content, numberedLines(bytes), context, engine::QueryType::Phrase, kUtf8);
    }
};

const std::string kHeader = "<strong>     File:  f.txt      Path:  /d</strong>\r\n";
std::string plain(int k) { return " line " + std::to_string(k) + ": text " + std::to_string(k) + "\r\n"; }
std::string star(int k) { return B + "*" + E + "line " + std::to_string(k) + ": " + B + "text" + E + " " + std::to_string(k) + "\r\n"; }

TEST(BrowseContext, ContextOneSeparatesSkippedLinesOnce) {
    Browsed b(20, {10, 14});
    EXPECT_EQ(b.page(1), kHead + kHeader + "\r\n" + plain(9) + star(10) + plain(11) + "\r\n" + plain(13) + star(14) +
                             plain(15) + kTail);
}

// Which lines a page holds, as a string: "-" for the empty separator, "*k" for a found line.
std::string layout(const std::string& page, int lines) {
    std::string out;
    std::size_t at = page.find(kHeader);
    if (at == std::string::npos) return "no header";
    at += kHeader.size();
    while (page.compare(at, kTail.size(), kTail) != 0) {
        const std::size_t end = page.find("\r\n", at);
        if (end == std::string::npos) return out + " unterminated";
        const std::string text = page.substr(at, end + 2 - at);
        std::string item = "?";
        if (text == "\r\n") item = "-";
        for (int k = 1; k <= lines; ++k) {
            if (text == plain(k)) item = std::to_string(k);
            if (text == star(k)) item = "*" + std::to_string(k);
        }
        out += (out.empty() ? "" : " ") + item;
        at = end + 2;
    }
    return out;
}

TEST(BrowseContext, SeparatorStandsOnlyForLinesSkippedBetweenContexts) {
    struct Case {
        int lines;
        std::vector<int> found;
        std::int64_t context;
        std::string expected;
    };
    const Case cases[] = {
        // Overlapping contexts join; lines before the first context near the file's top are no gap.
        {20, {10, 12}, 5, "5 6 7 8 9 *10 11 *12 13 14 15 16 17"},
        {9, {8}, 5, "3 4 5 6 7 *8 9"},
        {12, {3}, 5, "1 2 *3 4 5 6 7 8"},
        // Lines further from the top than the context are a gap, with its one separator.
        {30, {20}, 5, "- 15 16 17 18 19 *20 21 22 23 24 25"},
        {20, {10, 14}, 1, "- 9 *10 11 - 13 *14 15"},
        // Contexts that touch leave nothing out; one skipped line between them is a gap.
        {20, {5, 8}, 1, "- 4 *5 6 7 *8 9"},
        {20, {5, 9}, 1, "- 4 *5 6 - 8 *9 10"},
    };
    for (const Case& c : cases) {
        Browsed b(c.lines, c.found);
        EXPECT_EQ(layout(b.page(c.context), c.lines), c.expected) << "context " << c.context;
    }
}

TEST(BrowseContext, AllWritesTheWholeFile) {
    Browsed b(30, {4, 25});
    std::string expected = kHead + kHeader;
    for (int k = 1; k <= 30; ++k) expected += k == 4 || k == 25 ? star(k) : plain(k);
    EXPECT_EQ(b.page(contextLines("All")), expected + kTail);
}

TEST(BrowseContext, OverflowEntryEndsThePageWithoutTrailingContext) {
    Browsed b(5, {});
    b.content.clear();
    b.content.start(0, "/d", "f.txt");
    for (std::size_t k = 1; k <= engine::kMaxFoundEntries + 1; ++k) b.content.addLine(1, "text 1", false);
    const std::string page = b.page(2);
    EXPECT_NE(page.find("<strong>    Etc (too many messages for the Lines Viewer)</strong>\r\n" + kTail), std::string::npos);
}

TEST(BrowseContext, BlocksStarEveryLineAndEscapeTheFile) {
    engine::LinesViewerContent content;
    content.start(0, "/d", "a&b.txt");
    content.addBlock(2, 2);
    const std::string bytes = "one\n<two>\n\"three\"\nfour\nfive\n";
    const std::string page =
        browseContextText(content, numberedLines(bytes), 1, engine::QueryType::Multiline, kUtf8);
    EXPECT_EQ(page, kHead + "<strong>     File:  a&amp;b.txt      Path:  /d</strong>\r\n" + " line 1: one\r\n" + B +
                        "*</font>line 2: " + B + "&lt;two&gt;" + E + "\r\n" + B + "*</font>line 3: " + B +
                        "&quot;three&quot;" + E + "\r\n line 4: four\r\n" + kTail);
}

TEST(BrowseContext, ContextLinesAreCutForPhrasesButNotForExpressions) {
    engine::LinesViewerContent content;
    content.start(0, "/d", "f.txt");
    content.addLine(2, "x", true);
    const std::string bytes = std::string(3000, 'a') + "\nx\n";
    const std::vector<std::string_view> lines = numberedLines(bytes);
    const std::string phrase = browseContextText(content, lines, 1, engine::QueryType::Phrase, kUtf8);
    EXPECT_NE(phrase.find(" line 1: " + std::string(1024 - 9, 'a') + "\r\n"), std::string::npos);
    const std::string regExpr = browseContextText(content, lines, 1, engine::QueryType::RegExpr, kUtf8);
    EXPECT_NE(regExpr.find(" line 1: " + std::string(3000, 'a') + "\r\n"), std::string::npos);
}

TEST(BrowseContext, FileLinesStopAtNulAndSplitAtEveryLineEnd) {
    const std::string bytes("a\r\nb\rc\nd\0e\nf\n", 13);
    const std::vector<std::string_view> lines = numberedLines(bytes);
    EXPECT_EQ(lines, (std::vector<std::string_view>{"a", "b", "c", "d"}));
    EXPECT_EQ(contextLines("5"), 5);
    EXPECT_EQ(contextLines("All"), 10000000);
    EXPECT_EQ(contextLines("five"), -1);
}

TEST(SaveLines, EntriesAsShownWithEscapedMarkedText) {
    engine::LinesViewerContent content;
    content.start(0, "/d", "f.txt");
    engine::FoundLine* e = content.addLine(7, "if a<b && c>d", true);
    e->highlights = {{13, 1}, {16, 2}};  // "<" and "&&" of " line 7: if a<b && c>d"
    EXPECT_EQ(savedLinesText(content, engine::QueryType::WordsOr, kUtf8),
              "<html>\r\n<meta charset=\"utf-8\">\r\n<Title>Information from the Lines Viewer</Title>\r\n<body>\r\n<pre>\r\n"
              "<strong>     File:  f.txt      Path:  /d</strong>\r\n"
              " line 7: if a" + B + "&lt;" + E + "b " + B + "&amp;&amp;" + E + " c&gt;d\r\n" + kTail);
    engine::LinesViewerContent blocks;
    blocks.start(0, "/d", "f.txt");
    blocks.addBlock(3, 1);
    EXPECT_NE(savedLinesText(blocks, engine::QueryType::Multiline, kUtf8).find(B + " line 3 " + E + "\r\n"), std::string::npos);
}

// Both pages declare UTF-8 and hold it: the file's lines of a single-byte encoding are turned
// into UTF-8, with their marks, and the header's name is kept as the file system has it.
TEST(LinePages, LinesOfASingleByteEncodingAreWrittenAsUtf8) {
    const std::string name = "caf\xC3\xA9.txt";
    engine::LinesViewerContent content;
    content.start(0, "/d", name);
    engine::FoundLine* e = content.addLine(2, "na\xEFve", true);  // Windows-1252
    e->highlights.push_back({static_cast<int>(engine::foundLinePrefix(2).size()) + 2, 1});
    const std::string bytes = "\xE0 la\nna\xEFve\n";
    const std::string header = "<strong>     File:  " + name + "      Path:  /d</strong>\r\n";
    const std::string marked = B + "*" + E + "line 2: na" + B + "\xC3\xAF" + E + "ve\r\n";
    EXPECT_EQ(browseContextText(content, numberedLines(bytes), 1, engine::QueryType::Phrase,
                                platform::CodePageId::Windows1252),
              kHead + header + " line 1: \xC3\xA0 la\r\n" + marked + kTail);
    const std::string saved = savedLinesText(content, engine::QueryType::Phrase, platform::CodePageId::Windows1252);
    EXPECT_NE(saved.find("<html>\r\n<meta charset=\"utf-8\">\r\n"), std::string::npos);
    EXPECT_NE(saved.find(header + " line 2: na" + B + "\xC3\xAF" + E + "ve\r\n"), std::string::npos) << saved;
}

TEST(Marks, EscapingShiftsMarksAndMergesOnlyOverlaps) {
    std::vector<std::size_t> shifts;
    EXPECT_EQ(escapeHtml("a\"b&c<d>", &shifts), "a&quot;b&amp;c&lt;d&gt;");
    EXPECT_EQ(shifts, (std::vector<std::size_t>{0, 0, 5, 5, 9, 9, 12, 12, 15}));
    // Unsorted, overlapping (0-3 with 2-5, which also swallows 4-5), touching (5-6) and out of range.
    const std::vector<engine::Highlight> h = {{5, 1}, {2, 3}, {0, 3}, {4, 1}, {7, 5}, {20, 2}, {1, 0}};
    EXPECT_EQ(mergedHighlights(h, 8), (std::vector<engine::Highlight>{{0, 5}, {5, 1}, {7, 1}}));
    EXPECT_EQ(markedText("ab&cd<fgh", {{2, 1}, {5, 2}}, MarkScope::Whole, kUtf8),
              "ab" + B + "&amp;" + E + "cd" + B + "&lt;f" + E + "gh");
}

// A long line is cut after 1024 characters, not bytes: in UTF-8 no character is split (a split
// one would show as a stray Windows-1252 letter) and marks up to the 1024th character stay.
// Every page that shows found lines or file lines cuts the same way.
TEST(LinePages, LongLinesAreCutAtCharactersNotInsideThem) {
    struct Case {
        const char* what;
        platform::CodePageId page;
        std::string letter;  // one character in the page's bytes
        std::string shown;   // the same character in the page's UTF-8 output
    };
    const Case cases[] = {
        {"two-byte UTF-8", kUtf8, "\xD1\x8F", "\xD1\x8F"},
        {"three-byte UTF-8", kUtf8, "\xE2\x82\xAC", "\xE2\x82\xAC"},
        {"Windows-1252", platform::CodePageId::Windows1252, "\xEF", "\xC3\xAF"},
    };
    const std::string prefix = engine::foundLinePrefix(2);  // " line 2: "
    const std::size_t room = 1024 - prefix.size();          // characters of the line shown
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string text;
        for (int i = 0; i < 1500; ++i) text += c.letter;
        const int w = static_cast<int>(c.letter.size());
        engine::LinesViewerContent content;
        content.start(0, "/d", "f.txt");
        engine::FoundLine* e = content.addLine(2, text, true);
        auto at = [&](std::size_t lineChar) { return static_cast<int>(prefix.size() + lineChar * w); };
        // The 601st character of the line is marked, a mark across the cut is cut there, one
        // past the cut is dropped.
        e->highlights = {{at(600), w}, {at(room - 2), 3 * w}, {at(1200), w}};
        auto repeat = [&](std::size_t n) {
            std::string out;
            for (std::size_t i = 0; i < n; ++i) out += c.shown;
            return out;
        };
        const std::string found =
            "line 2: " + repeat(600) + B + c.shown + E + repeat(room - 2 - 601) + B + repeat(2) + E;
        const std::string plainLine = " line 1: " + repeat(room);

        const std::string bytes = text + "\n" + text + "\n";
        const std::string browse =
            browseContextText(content, numberedLines(bytes), 1, engine::QueryType::Phrase, c.page);
        EXPECT_NE(browse.find(plainLine + "\r\n" + B + "*" + E + found + "\r\n"), std::string::npos);
        const std::string saved = savedLinesText(content, engine::QueryType::Phrase, c.page);
        EXPECT_NE(saved.find("\r\n " + found + "\r\n"), std::string::npos);
        const std::string report = rowLines(0, content, engine::QueryType::Phrase, c.page);
        EXPECT_NE(report.find("\r\n " + found + "\r\n"), std::string::npos);
        // Reg Expr searches show the whole line with every mark.
        const std::string whole = savedLinesText(content, engine::QueryType::RegExpr, c.page);
        EXPECT_NE(whole.find(B + c.shown + E + repeat(299) + "\r\n"), std::string::npos);
    }
}

}  // namespace
}  // namespace vsr::reports::test
