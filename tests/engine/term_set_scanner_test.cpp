// Several words counted in one pass give, word for word, the counts of one pass per word: over
// random texts with overlapping words, both cases, whole words, UTF-8, NUL bytes and texts long
// enough to cross every stretch and block boundary of the one-pass scan.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/query/compiled_query.h"

namespace vsr::engine {
namespace {

// Tokens that make the words overlap, nearly match, change case or sit against word characters.
const char* const kTokens[] = {"ab", "aba", "b", "AB", "bA", "a", " ", " ", "\n", "\r\n", "_", "1", "x_y", "X_Y",
                               "\xC3\xA9" /* é */, "\xC3\x89" /* É */, "stra\xC3\x9F" "e" /* straße */, "STRASSE",
                               "\xC3\xA4" /* ä */, "\xC3\x84" /* Ä */, "\xE2\x80\x94" /* — */, "\xFF", "\x80",
                               "mutex_lock", "MUTEX_LOCK", "lock", "spin_lock", "kfree"};

std::string randomTokenText(std::mt19937& rng, std::size_t tokens) {
    std::string text;
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kTokens) - 1);
    std::uniform_int_distribution<int> nul(0, 400);
    for (std::size_t i = 0; i < tokens; ++i) {
        text += kTokens[pick(rng)];
        if (nul(rng) == 0) text.push_back('\0');
    }
    return text;
}

// What a pass per word counts: each word's occurrences one after another in the text before
// its first NUL byte.
std::vector<std::int64_t> countWordByWord(const CompiledQuery& q, std::string_view text) {
    text = textBeforeNul(text);
    std::vector<std::int64_t> counts(q.countSlots(), 0);
    for (std::size_t t = 0; t < q.scanners().size(); ++t) {
        if (!q.usableTerm(t)) continue;
        std::size_t end = 0;
        for (std::size_t p = q.scanners()[t].next(text, 0, std::string_view::npos, &end); p != std::string_view::npos;
             p = q.scanners()[t].next(text, end, std::string_view::npos, &end))
            ++counts[t];
    }
    return counts;
}

struct WordQuery {
    const char* words;
    bool caseSensitive;
    bool wholeWords;
    platform::CodePageId page;
};

const WordQuery kQueries[] = {
    {"ab aba b", true, false, platform::CodePageId::Windows1252},
    {"ab aba b", false, false, platform::CodePageId::Windows1252},
    {"ab aba b", false, true, platform::CodePageId::Windows1252},
    {"a b ab ba aba x_y 1 lock", false, false, platform::CodePageId::Windows1252},
    {"a b ab ba aba x_y 1 lock mutex_lock spin_lock", true, true, platform::CodePageId::Windows1252},
    {"mutex_lock spin_lock kfree", true, false, platform::CodePageId::Windows1252},
    {"\xC3\xA9 stra\xC3\x9F" "e ab \xC3\xA4", false, false, platform::CodePageId::Utf8},
    {"\xC3\xA9 stra\xC3\x9F" "e ab \xC3\xA4", false, true, platform::CodePageId::Utf8},
    {"\xC3\x89 AB \xE2\x80\x94 b", true, false, platform::CodePageId::Utf8},
    {"ab b lock _", false, true, platform::CodePageId::Utf8},
};

SearchConditions wordConditions(const WordQuery& w, QueryType type) {
    SearchConditions c;
    c.queryType = type;
    c.findText = w.words;
    c.caseSensitive = w.caseSensitive;
    c.wholeWords = w.wholeWords;
    c.textEncoding = w.page;
    return c;
}

TEST(TermSetScanner, CountsEveryWordAsAPassPerWordDoes) {
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<std::size_t> shortText(0, 120);
    for (const WordQuery& w : kQueries) {
        const CompiledQuery q(wordConditions(w, QueryType::WordsOr));
        ASSERT_FALSE(q.refused()) << w.words;
        if (TermSetScanner::available() && w.page != platform::CodePageId::Utf8) {
            EXPECT_FALSE(q.termSets().empty()) << w.words;  // the one-pass scan is what is tested
        }
        auto matcher = q.matcher();
        for (int round = 0; round < 400; ++round) {
            // Now and then a text longer than a stretch of the scan, so its edges are crossed.
            const std::size_t tokens = round % 100 == 99 ? 40000 : shortText(rng);
            const std::string text = randomTokenText(rng, tokens);
            std::vector<std::int64_t> counts;
            ASSERT_EQ(matcher->count(text, counts), ScanEnd::Done);
            ASSERT_EQ(counts, countWordByWord(q, text)) << w.words << " in " << text.substr(0, 200);
        }
    }
}

// The scan of a text ends at every possible place relative to the 32-byte blocks and the probes.
TEST(TermSetScanner, FindsWordsAtEveryPositionNearTheEnds) {
    const WordQuery w{"ab kfree spin_lock", true, true, platform::CodePageId::Windows1252};
    const CompiledQuery q(wordConditions(w, QueryType::WordsOr));
    auto matcher = q.matcher();
    for (std::size_t length = 0; length < 100; ++length) {
        for (const char* word : {"ab", "kfree", "spin_lock"}) {
            for (std::size_t at = 0; at + std::strlen(word) <= length; at += 7) {
                std::string text(length, ' ');
                text.replace(at, std::strlen(word), word);
                std::vector<std::int64_t> counts;
                matcher->count(text, counts);
                ASSERT_EQ(counts, countWordByWord(q, text)) << length << " " << word << " at " << at;
                EXPECT_EQ(counts[0] + counts[1] + counts[2], 1);
            }
        }
    }
}

// A Search Engine query stops at the first excluded word it finds; the file's fate is the same
// as when every word is counted.
TEST(TermSetScanner, AnExcludedWordDecidesAsAFullCountWould) {
    std::mt19937 rng(7);
    const WordQuery w{"+ab -kfree lock -STRASSE", false, false, platform::CodePageId::Windows1252};
    const CompiledQuery q(wordConditions(w, QueryType::SearchEngine));
    auto matcher = q.matcher();
    int listed = 0, refused = 0;
    for (int round = 0; round < 600; ++round) {
        const std::string text = randomTokenText(rng, round % 60);
        std::vector<std::int64_t> counts;
        ASSERT_EQ(matcher->count(text, counts, true), ScanEnd::Done);
        const bool expected = q.listed(countWordByWord(q, text));
        ASSERT_EQ(q.listed(counts), expected) << text;
        (expected ? listed : refused)++;
    }
    EXPECT_GT(listed, 0);
    EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace vsr::engine
