#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/query/term_scanner.h"

namespace vsr::engine {
namespace {

const platform::CodePage& page() { return platform::CodePage::defaultPage(); }

// The counting rule written plainly, as the reference for the vector scanner.
std::vector<std::size_t> reference(const std::string& text, const std::string& term, bool wholeWords,
                                   bool ignoreCase) {
    std::string hay = ignoreCase ? page().toUpper(text) : text;
    std::vector<std::size_t> out;
    std::size_t pos = 0;
    while (pos + term.size() <= hay.size()) {
        std::size_t p = hay.find(term, pos);
        if (p == std::string::npos) break;
        std::size_t end = p + term.size();
        bool ok = !wholeWords || ((p == 0 || !page().isWordChar(static_cast<unsigned char>(hay[p - 1]))) &&
                                  (end == hay.size() || !page().isWordChar(static_cast<unsigned char>(hay[end]))));
        if (ok) {
            out.push_back(p);
            pos = end;
        } else {
            pos = p + 1;
        }
    }
    return out;
}

std::vector<std::size_t> scan(const std::string& text, const std::string& term, bool wholeWords, bool ignoreCase) {
    TermScanner s(term, wholeWords, page(), ignoreCase);
    std::vector<std::size_t> out;
    for (std::size_t p = s.next(text, 0); p != std::string::npos; p = s.next(text, p + s.length())) out.push_back(p);
    return out;
}

TEST(TermScanner, CountsWithoutOverlap) {
    EXPECT_EQ(scan("ababab", "AB", false, true).size(), 3u);
    EXPECT_EQ(scan("aaa", "AA", false, true).size(), 1u);
    EXPECT_EQ(scan("aaa", "AA", false, false).size(), 0u);
}

TEST(TermScanner, WholeWordsUseLettersDigitsAndUnderscore) {
    const char* counted[] = {"a cat.", "cat", "(cat)", "\xE9 cat"};
    const char* rejected[] = {"cats", "my_cat", "cat9", "\xE9" "cat"};
    for (const char* t : counted) EXPECT_EQ(scan(t, "CAT", true, true).size(), 1u) << t;
    for (const char* t : rejected) EXPECT_EQ(scan(t, "CAT", true, true).size(), 0u) << t;
    // A rejected occurrence resumes one character later, so "xcat cat" still counts once.
    EXPECT_EQ(scan("xcat cat", "CAT", true, true).size(), 1u);
}

TEST(TermScanner, IgnoresCaseAboveAscii) {
    EXPECT_EQ(scan("Caf\xE9 CAF\xC9 caf\xC9", "CAF\xC9", false, true).size(), 3u);
    // y-diaeresis folds to 0x9F in Windows-1252.
    EXPECT_EQ(scan("\xFF\x9F", "\x9F", false, true).size(), 2u);
}

TEST(TermScanner, StartLimitBoundsStartsButNotTheWordTest) {
    TermScanner s("AB", true, page(), true);
    std::string text = "xx ab abc";
    EXPECT_EQ(s.next(text, 0, 3), std::string::npos);
    EXPECT_EQ(s.next(text, 0, 4), 3u);
    EXPECT_EQ(s.next(text, 4, 7), std::string::npos);  // "abc" fails the word test past the limit
}

TEST(TermScanner, MatchesTheReferenceOnRandomTexts) {
    std::mt19937 rng(12345);
    const std::string alphabet = "abAB _\n\xE9\xC9x";
    for (int round = 0; round < 3000; ++round) {
        std::size_t len = rng() % 600;
        std::string text;
        for (std::size_t i = 0; i < len; ++i) text += alphabet[rng() % alphabet.size()];
        std::size_t tlen = 1 + rng() % 4;
        std::string term;
        for (std::size_t i = 0; i < tlen; ++i) term += alphabet[rng() % alphabet.size()];
        bool whole = rng() % 2;
        bool ignoreCase = rng() % 2;
        if (ignoreCase) term = page().toUpper(term);
        ASSERT_EQ(scan(text, term, whole, ignoreCase), reference(text, term, whole, ignoreCase))
            << "text=" << text << " term=" << term << " whole=" << whole << " ic=" << ignoreCase;
    }
}

}  // namespace
}  // namespace vsr::engine
