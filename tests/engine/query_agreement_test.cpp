// The listing and the Lines Viewer run the same query: over random files of every query type,
// browsing a listed row never changes its Found value, and the viewer highlights as many
// matches as the row counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>

#include "engine/viewer/lines_viewer_fill.h"
#include "modify_fixture.h"
#include "search_fixture.h"

namespace vsr::engine::test {
namespace {

// Lines from a small set, so matches, near misses, every line end and the occasional NUL
// byte all turn up.
std::string randomAgreementText(std::mt19937& random) {
    static const char* const kLines[] = {"a", "b", "ab", "a b", "x", "", " b ", "B a", "ba b", "xab ab"};
    static const char* const kEnds[] = {"\n", "\r\n", "\r"};
    std::string text;
    const int lines = static_cast<int>(random() % 12);
    for (int i = 0; i < lines; ++i) {
        text += kLines[random() % 10];
        if (i + 1 < lines || random() % 2) text += kEnds[random() % 3];
    }
    if (random() % 10 == 0) text.insert(random() % (text.size() + 1), 1, '\0');
    return text;
}

struct AgreementQuery {
    const char* label;
    QueryType type;
    std::vector<std::string> lines;  // the one-line query, or the memo's lines
    bool caseSensitive = false;
    bool wholeWords = false;
    bool eachLine = false;
};

const AgreementQuery kAgreementQueries[] = {
    {"phrase", QueryType::Phrase, {"ab"}},
    {"phrase, case", QueryType::Phrase, {"a b"}, true},
    {"phrase, whole words", QueryType::Phrase, {"ab"}, false, true},
    {"words or", QueryType::WordsOr, {"a b"}},
    {"words and", QueryType::WordsAnd, {"ab x"}, false, true},
    {"search engine", QueryType::SearchEngine, {"+ab -x"}},
    {"multiline", QueryType::Multiline, {"a", "b"}},
    {"regex by line", QueryType::RegExpr, {"a+b?"}},
    {"regex leading .*", QueryType::RegExpr, {".*?b"}},
    {"regex whole text", QueryType::RegExpr, {".*?b\\s"}},
    {"regex across lines", QueryType::RegExpr, {"b", "a"}},
    {"regex each line", QueryType::RegExpr, {"b\\s*a"}, true, false, true},
};

std::int64_t highlights(const LinesViewerContent& content) {
    std::int64_t n = 0;
    for (const FoundLine& e : content.entries()) n += static_cast<std::int64_t>(e.highlights.size());
    return n;
}

TEST(QueryAgreement, BrowsingARowNeverChangesItsCount) {
    std::mt19937 random(19);
    for (const AgreementQuery& q : kAgreementQueries) {
        SearchFixture f;
        std::map<std::string, std::string> texts;
        for (int i = 0; i < 150; ++i) {
            const std::string name = "/data/f" + std::to_string(i) + ".txt";
            texts[name] = randomAgreementText(random);
            f.fs.addFile(name, texts[name]);
        }
        f.conditions.queryType = q.type;
        f.conditions.findText = q.lines[0];
        f.conditions.findLines = q.lines;
        f.conditions.caseSensitive = q.caseSensitive;
        f.conditions.wholeWords = q.wholeWords;
        f.conditions.eachLineSeparately = q.eachLine;
        f.run();
        ASSERT_GT(f.host.list.count(), 10u) << q.label;
        ASSERT_TRUE(f.host.messages.empty()) << q.label;
        for (std::size_t row = 0; row < f.host.list.count(); ++row) {
            const results::ResultItem listed = f.host.list.row(row);
            f.host.list.selectOnly(row);
            LinesViewerContent content;
            FillResult r = FillLinesViewer(f.conditions, {f.fs, f.clock, f.formats, f.types}, f.host, content,
                                           {listed.path, listed.name, static_cast<long long>(row), FillPurpose::Silent});
            ASSERT_EQ(r.end, FillEnd::Done) << q.label;
            const std::string context = std::string(q.label) + " in " + testing::PrintToString(texts[listed.fullName()]);
            EXPECT_EQ(f.host.list.row(row).found, listed.found) << context;
            EXPECT_EQ(f.host.list.row(row).firstCount, listed.firstCount) << context;
            // Multiline marks whole lines rather than matches; a match of a query of several lines
            // marks its part of each line; every other match is marked once.
            const std::int64_t counted = std::accumulate(r.counts.begin(), r.counts.end(), std::int64_t{0});
            if (q.type != QueryType::Multiline && q.lines.size() == 1) {
                EXPECT_EQ(highlights(content), counted) << context;
            } else if (q.type != QueryType::Multiline) {
                EXPECT_GE(highlights(content), counted) << context;
            }
        }
    }
}


// The queries of the Search and Replace tab, where a replacement follows the search.
struct ReplaceQuery {
    const char* label;
    SearchType type;
    std::vector<std::string> lines;
    bool caseSensitive = false;
    bool wholeWords = false;
    bool eachLine = false;
};

const ReplaceQuery kReplaceQueries[] = {
    {"phrase", SearchType::Phrase, {"ab"}},
    {"phrase, case, whole words", SearchType::Phrase, {"b"}, true, true},
    {"multiline", SearchType::Multiline, {"a", "b"}},
    {"multiline, case", SearchType::Multiline, {"b", "a"}, true},
    {"regex by line", SearchType::RegExpr, {"a+b?"}},
    {"regex leading .*", SearchType::RegExpr, {".*?b"}},
    {"regex whole text", SearchType::RegExpr, {"b\\s"}},
    {"regex across lines", SearchType::RegExpr, {"b", "a"}},
    {"regex each line", SearchType::RegExpr, {"b\\s*a"}, true, false, true},
};

// What a file's matches become: the listing's count, the Lines Viewer's highlights and the
// edits of a replacement by a mark that occurs nowhere else.
TEST(QueryAgreement, ListingViewerAndReplacementSeeTheSameMatches) {
    std::mt19937 random(1919);
    const std::string mark = "\x01";
    for (const ReplaceQuery& q : kReplaceQueries) {
        SearchFixture search;
        ModifyFixture modify;
        std::vector<std::string> texts;
        for (int i = 0; i < 80; ++i) texts.push_back(randomAgreementText(random));
        SearchConditions& c = search.conditions;
        c.tab = Tab::SearchAndReplace;
        c.searchType = q.type;
        c.searchText = q.lines[0];
        c.searchLines = q.lines;
        c.caseSensitive = q.caseSensitive;
        c.wholeWords = q.wholeWords;
        c.eachLineSeparately = q.eachLine;
        c.modificationType = ModificationType::Replace;
        c.replaceText = mark;
        c.replaceLines = {mark};
        for (std::size_t i = 0; i < texts.size(); ++i) {
            search.fs.addFile("/data/f" + std::to_string(i), texts[i]);
            modify.add("f" + std::to_string(i), texts[i]);
        }
        search.run();
        ASSERT_TRUE(search.host.messages.empty()) << q.label;
        std::map<std::string, std::int64_t> listed;
        for (std::size_t row = 0; row < search.host.list.count(); ++row) {
            const results::ResultItem item = search.host.list.row(row);
            listed[item.name] = item.firstCount;
            search.host.list.selectOnly(row);
            LinesViewerContent content;
            FillResult r = FillLinesViewer(c, {search.fs, search.clock, search.formats, search.types}, search.host,
                                           content, {item.path, item.name, static_cast<long long>(row), FillPurpose::Silent});
            ASSERT_EQ(r.end, FillEnd::Done) << q.label;
            ASSERT_EQ(r.counts.size(), 1u);
            EXPECT_EQ(r.counts[0], item.firstCount) << q.label << " in " << item.name;
            if (q.type != SearchType::Multiline && q.lines.size() == 1) {
                EXPECT_EQ(highlights(content), item.firstCount) << q.label;
            }
        }
        ASSERT_GT(listed.size(), 5u) << q.label;

        modify.c = c;
        modify.c.path = modify.dir.str();  // the same files, on disk
        modify.modifyAll();
        ASSERT_TRUE(modify.host.messages.empty()) << q.label;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const std::string name = "f" + std::to_string(i);
            const std::string after = modify.read(name);
            const auto edits = static_cast<std::int64_t>(std::count(after.begin(), after.end(), mark[0]));
            EXPECT_EQ(edits, listed.count(name) ? listed[name] : 0)
                << q.label << " in " << testing::PrintToString(texts[i]) << " gave " << testing::PrintToString(after);
        }
    }
}

// A whole-text match never counts a line end the file does not have: the listing, the viewer
// and a replacement all see "b\s" once in "xb\n" and not at all in "xb".
TEST(QueryAgreement, NoLineEndIsAddedAfterTheLastLine) {
    for (const auto& [text, expected] : std::vector<std::pair<std::string, std::int64_t>>{
             {"xb", 0}, {"xb\n", 1}, {"xb\r\n", 1}, {"xb\ryb", 1}, {"xb\nyb", 1}}) {
        SearchFixture search;
        search.fs.addFile("/data/f", text);
        search.conditions.queryType = QueryType::RegExpr;
        search.conditions.findLines = {"b\\s"};
        search.run();
        EXPECT_EQ(search.host.list.count(), expected ? 1u : 0u) << testing::PrintToString(text);
        if (expected) {
            EXPECT_EQ(search.host.list.row(0).firstCount, expected);
        }

        ModifyFixture modify;
        modify.regex({"b\\s"}, {"!"});
        modify.add("f", text);
        modify.modifyAll();
        const std::string after = modify.read("f");
        EXPECT_EQ(std::count(after.begin(), after.end(), '!'), expected) << testing::PrintToString(text);
    }
}

}  // namespace
}  // namespace vsr::engine::test
