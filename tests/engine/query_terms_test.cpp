#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/query/query_terms.h"

namespace vsr::engine {
namespace {

const platform::CodePage& termsPage() { return platform::CodePage::defaultPage(); }

std::string describe(const TermList& list) {
    std::string out;
    for (const QueryTerm& t : list.terms) {
        if (!out.empty()) out += '|';
        out += t.sign == TermSign::Required ? "+" : t.sign == TermSign::Excluded ? "-" : "";
        out += "[" + t.text + "]";
    }
    return out;
}

struct TermCase {
    QueryType type;
    std::string query;
    bool caseSensitive;
    std::string expected;  // terms, or "!" + message
};

class BuildTerms : public ::testing::TestWithParam<TermCase> {};

TEST_P(BuildTerms, GivesTermsOrMessage) {
    const TermCase& c = GetParam();
    BuildTermsResult r = buildTerms(c.type, c.query, c.caseSensitive, termsPage());
    if (c.expected.rfind("!", 0) == 0) {
        EXPECT_FALSE(r.ok);
        EXPECT_EQ("!" + r.message, c.expected);
    } else {
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(describe(r.list), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Queries, BuildTerms,
    ::testing::Values(
        // Phrase keeps its blanks and is upper-cased unless case sensitive.
        TermCase{QueryType::Phrase, " x ", false, "[ X ]"},
        TermCase{QueryType::Phrase, "MiXed", true, "[MiXed]"},
        TermCase{QueryType::Phrase, "", false, ""},
        // Words split at runs of spaces only; tabs belong to the words.
        TermCase{QueryType::WordsAnd, "alpha  beta", false, "+[ALPHA]|+[BETA]"},
        TermCase{QueryType::WordsOr, " a\tb c ", true, "[a\tb]|[c]"},
        TermCase{QueryType::WordsOr, "   ", false, "!Please specify the word or words"},
        TermCase{QueryType::WordsOr, "", false, ""},
        // Search engine signs, phrases and the ordinary "+" and "-".
        TermCase{QueryType::SearchEngine, "+alpha -beta \"gamma delta\"", false, "+[ALPHA]|-[BETA]|[GAMMA DELTA]"},
        TermCase{QueryType::SearchEngine, "\"a\"b c\"", true, "[a\"b c]"},
        TermCase{QueryType::SearchEngine, "+ x", true, "[+]|[x]"},
        TermCase{QueryType::SearchEngine, "x -", true, "[x]|[-]"},
        TermCase{QueryType::SearchEngine, "+-word", true, "-[word]"},
        TermCase{QueryType::SearchEngine, "  lead trail  ", true, "[lead]|[trail]"},
        TermCase{QueryType::SearchEngine, "\"open phrase", true, "!Missing   \"  "},
        TermCase{QueryType::SearchEngine, "a \"\" b", true, "!Missing   \"  "},
        TermCase{QueryType::SearchEngine, "   ", true, "!Missing   \"  "},
        TermCase{QueryType::SearchEngine, "", true, ""},
        // Multiline and Reg Expr read their lines directly.
        TermCase{QueryType::Multiline, "anything", false, ""}));

TEST(BuildTerms, SearchEngineAllExcludedOnlyWhenEveryTermIs) {
    EXPECT_TRUE(buildTerms(QueryType::SearchEngine, "-a -b", false, termsPage()).list.allExcluded);
    EXPECT_FALSE(buildTerms(QueryType::SearchEngine, "-a b", false, termsPage()).list.allExcluded);
    EXPECT_FALSE(buildTerms(QueryType::SearchEngine, "", false, termsPage()).list.allExcluded);
}

TEST(BuildTerms, LimitIs499Terms) {
    std::string words;
    for (int i = 0; i < 499; ++i) words += "w" + std::to_string(i) + " ";
    for (QueryType t : {QueryType::WordsOr, QueryType::WordsAnd, QueryType::SearchEngine}) {
        BuildTermsResult ok = buildTerms(t, words, false, termsPage());
        ASSERT_TRUE(ok.ok);
        EXPECT_EQ(ok.list.size(), 499u);
        BuildTermsResult tooMany = buildTerms(t, words + "last", false, termsPage());
        EXPECT_FALSE(tooMany.ok);
        EXPECT_EQ(tooMany.caption, "Vantix Search & Replace");
        EXPECT_EQ(tooMany.message, t == QueryType::SearchEngine ? "Too many words and phrases" : "Too many words");
    }
}

TEST(BuildTerms, UpperCaseFollowsTheCodePage) {
    // e-acute in Windows-1252 and Cyrillic small a in Windows-1251.
    EXPECT_EQ(buildTerms(QueryType::Phrase, "caf\xE9", false, termsPage()).list.terms[0].text, "CAF\xC9");
    const auto& cyr = platform::CodePage::get(platform::CodePageId::Windows1251);
    EXPECT_EQ(buildTerms(QueryType::Phrase, "\xE0\xB8", false, cyr).list.terms[0].text, "\xC0\xA8");
}

}  // namespace
}  // namespace vsr::engine
