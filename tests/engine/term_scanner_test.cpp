#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/query/term_scanner.h"
#include "text/unicode_tables.h"
#include "text/utf8.h"

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

namespace vsr::engine {
namespace {

const platform::CodePage& utf8Page() { return platform::CodePage::get(platform::CodePageId::Utf8); }

struct Char {
    std::size_t offset;
    char32_t cp;
};

std::vector<Char> decodeAll(const std::string& s) {
    std::vector<Char> out;
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        std::size_t len = text::utf8::decode(s, i, cp);
        out.push_back({i, cp});
        i += len;
    }
    return out;
}

// The UTF-8 counting rule written plainly: whole characters, folded one by one, compared from
// every character start; a counted occurrence resumes after its end.
std::vector<std::size_t> utf8Reference(const std::string& text, const std::string& term, bool wholeWords,
                                       bool ignoreCase) {
    auto key = [&](char32_t cp) { return ignoreCase ? text::unicode::fold(cp) : cp; };
    std::vector<Char> t = decodeAll(text), q = decodeAll(term);
    std::vector<std::size_t> out;
    if (q.empty()) return out;
    for (std::size_t i = 0; i + q.size() <= t.size();) {
        bool same = true;
        for (std::size_t j = 0; j < q.size() && same; ++j) same = key(t[i + j].cp) == key(q[j].cp);
        if (same && wholeWords) {
            std::size_t after = i + q.size();
            same = (i == 0 || !text::unicode::isWordChar(t[i - 1].cp)) &&
                   (after == t.size() || !text::unicode::isWordChar(t[after].cp));
        }
        if (same) {
            out.push_back(t[i].offset);
            i += q.size();
        } else {
            ++i;
        }
    }
    return out;
}

std::vector<std::size_t> utf8Scan(const std::string& text, const std::string& term, bool wholeWords,
                                  bool ignoreCase) {
    const std::string folded = ignoreCase ? utf8Page().toUpper(term) : term;
    TermScanner s(folded, wholeWords, utf8Page(), ignoreCase);
    std::vector<std::size_t> out;
    std::size_t end = 0;
    for (std::size_t p = s.next(text, 0, std::string::npos, &end); p != std::string::npos;
         p = s.next(text, end, std::string::npos, &end))
        out.push_back(p);
    return out;
}

TEST(TermScannerUtf8, FindsLettersOfEveryScriptInEitherCase) {
    struct Case {
        const char* text;
        const char* term;
        std::size_t count;
    } cases[] = {
        {"Ärger ärger ÄRGER arger", "ärger", 3},
        {"café CAFÉ Café cafe", "CAFÉ", 3},
        {"Слово СЛОВО слово", "слово", 3},
        {"σίσυφος ΣΊΣΥΦΟΣ Σίσυφος", "ΣΊΣΥΦΟΣ", 3},
        {"λόγος ΛΌΓΟΣ λόγοσ", "λόγος", 3},  // final and medial sigma fold alike
        {"Ú only", "Ê", 0},
        {"Њ к К", "К", 2},
        {"ẞ ß", "ß", 2},              // forms of different lengths in bytes
        {"Straße STRAẞE", "STRAẞE", 2},
        {"中文 中文", "中文", 2},
        {"ſ s S", "s", 2},            // long s is left out: ASCII matches ASCII only
    };
    for (const Case& c : cases) EXPECT_EQ(utf8Scan(c.text, c.term, false, true).size(), c.count) << c.text << " / " << c.term;
    // An occurrence may differ in length from the term; its end is reported.
    TermScanner s(utf8Page().toUpper("ẞ"), false, utf8Page(), true);
    std::size_t end = 0;
    EXPECT_EQ(s.next("xß", 0, std::string::npos, &end), 1u);
    EXPECT_EQ(end, 3u);
}

TEST(TermScannerUtf8, WholeWordsSeeLettersBeyondAscii) {
    EXPECT_EQ(utf8Scan("naïve", "ve", true, true).size(), 0u);
    EXPECT_EQ(utf8Scan("naïve", "na", true, false).size(), 0u);
    EXPECT_EQ(utf8Scan("«ve» ve—ve", "ve", true, true).size(), 3u);
    EXPECT_EQ(utf8Scan("слово словом", "СЛОВО", true, true).size(), 1u);
    EXPECT_EQ(utf8Scan("中文字", "中文", true, false).size(), 0u);
    // An invalid byte is no letter: the word beside it stands alone.
    EXPECT_EQ(utf8Scan("\xFFve\xC3", "VE", true, true).size(), 1u);
}

TEST(TermScannerUtf8, NeverStartsOrEndsInsideACharacter) {
    // The term's bytes occur inside other characters only.
    EXPECT_EQ(utf8Scan("é", "\xA9", false, false).size(), 0u);
    EXPECT_EQ(utf8Scan("é", "\xC3", false, true).size(), 0u);
    EXPECT_EQ(utf8Scan("中", "\xB8\xAD", false, false).size(), 0u);
    // As characters of their own, invalid bytes are found, and keep their neighbours.
    EXPECT_EQ(utf8Scan("x\xA9y \xC3", "\xA9", false, false), (std::vector<std::size_t>{1}));
    EXPECT_EQ(utf8Scan("x\xA9y \xC3", "\xC3", false, true), (std::vector<std::size_t>{4}));
    EXPECT_EQ(utf8Scan("ab\xC3", "B\xC3", false, true), (std::vector<std::size_t>{1}));
}

TEST(TermScannerUtf8, AsciiTermsWorkAsOnTheSingleBytePages) {
    const std::string text = "int main() { return MAIN_x + Main; } // main";
    for (bool whole : {false, true})
        for (bool ic : {false, true}) {
            std::string term = ic ? std::string("MAIN") : std::string("main");
            EXPECT_EQ(utf8Scan(text, term, whole, ic), scan(text, term, whole, ic)) << whole << ic;
        }
}

// Random texts of letters in both cases, forms of different byte lengths, marks, invalid and
// cut bytes, against the plain model above.
TEST(TermScannerUtf8, MatchesTheReferenceOnRandomTexts) {
    const char* pieces[] = {"a", "A", "b", "s", "S", " ", "_", "\n", "é", "É", "e", "ß", "ẞ", "σ", "ς", "Σ", "ж", "Ж",
                            "中", "\u0301", "\xC3", "\xA9", "\xFF", "\xE4\xB8", "ſ", "ǅ", "ǆ", "Ǆ", "𐐀", "𐐨", "-"};
    const std::size_t npieces = sizeof pieces / sizeof pieces[0];
    std::mt19937 rng(2718);
    for (int round = 0; round < 4000; ++round) {
        std::string text, term;
        std::size_t len = rng() % 300;
        for (std::size_t i = 0; i < len; ++i) text += pieces[rng() % npieces];
        std::size_t tlen = 1 + rng() % 4;
        for (std::size_t i = 0; i < tlen; ++i) term += pieces[rng() % npieces];
        if (term.find('\n') != std::string::npos) continue;
        bool whole = rng() % 2;
        bool ignoreCase = rng() % 3 != 0;
        ASSERT_EQ(utf8Scan(text, term, whole, ignoreCase), utf8Reference(text, term, whole, ignoreCase))
            << "text=" << text << " term=" << term << " whole=" << whole << " ic=" << ignoreCase;
    }
}

}  // namespace
}  // namespace vsr::engine
