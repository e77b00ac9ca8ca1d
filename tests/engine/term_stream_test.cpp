// A word query counted piece by piece as a file is read gives exactly the counts of the
// whole-text count: occurrences at every offset around the edges of the pieces, with word
// characters, UTF-8 characters and NUL bytes against them, reads of every length, overlapping
// occurrences, and the early end at an Excluded word.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "engine/query/compiled_query.h"
#include "engine/query/term_stream.h"

namespace vsr::engine {
namespace {

struct StreamQuery {
    QueryType type;
    const char* text;
    bool caseSensitive;
    bool wholeWords;
    platform::CodePageId page;
};

const StreamQuery kStreamQueries[] = {
    {QueryType::Phrase, "needle", true, false, platform::CodePageId::Windows1252},
    {QueryType::Phrase, "needle", false, false, platform::CodePageId::Windows1252},
    {QueryType::Phrase, "static int", true, true, platform::CodePageId::Windows1252},
    {QueryType::Phrase, "aa", true, false, platform::CodePageId::Windows1252},  // overlaps itself
    {QueryType::Phrase, "needle", true, true, platform::CodePageId::Utf8},
    {QueryType::Phrase,
     "stra\xC3\x9F"
     "e",
     false, false, platform::CodePageId::Utf8},
    {QueryType::Phrase, "\xC3\xA9t\xC3\xA9", false, true, platform::CodePageId::Utf8},
    {QueryType::WordsOr, "needle kfree spin_lock", true, false, platform::CodePageId::Windows1252},
    {QueryType::WordsOr, "needle aa e", false, true, platform::CodePageId::Windows1252},
    {QueryType::WordsAnd, "needle \xC3\xA9t\xC3\xA9", false, false, platform::CodePageId::Utf8},
    {QueryType::SearchEngine, "+needle -kfree aa", false, false, platform::CodePageId::Windows1252},
};

SearchConditions conditionsOf(const StreamQuery& q) {
    SearchConditions c;
    c.queryType = q.type;
    c.findText = q.text;
    c.caseSensitive = q.caseSensitive;
    c.wholeWords = q.wholeWords;
    c.textEncoding = q.page;
    return c;
}

// The smallest piece the query is streamed with: the tests cross as many edges as they can.
std::size_t smallestPiece(const CompiledQuery& q) {
    std::size_t piece = 16;
    while (!TermStream::suits(q, piece)) piece += 16;
    return piece;
}

// How the reads hand the text over: as a file read fills the room it is given, or in reads
// of any length (a slow or growing file).
enum class Reads { FillRoom, Ragged };

struct Streamed {
    std::vector<std::int64_t> counts;
    std::size_t bytesTaken = 0;  // bytes handed over before the stream wanted no more
};

Streamed countStreamed(TermStream& stream, std::string_view text, Reads reads, std::mt19937& rng,
                       bool untilExcluded = false) {
    Streamed out;
    stream.begin(out.counts, untilExcluded);
    while (out.bytesTaken < text.size()) {
        const std::span<char> room = stream.room();
        EXPECT_FALSE(room.empty());
        std::size_t n = std::min(room.size(), text.size() - out.bytesTaken);
        if (reads == Reads::Ragged) n = std::uniform_int_distribution<std::size_t>(1, n)(rng);
        std::memcpy(room.data(), text.data() + out.bytesTaken, n);
        out.bytesTaken += n;
        if (!stream.arrived(n)) break;
    }
    stream.end();
    return out;
}

std::vector<std::int64_t> countWhole(QueryMatcher& matcher, std::string_view text, bool untilExcluded = false) {
    std::vector<std::int64_t> counts;
    EXPECT_EQ(matcher.count(text, counts, untilExcluded), ScanEnd::Done);
    return counts;
}

// What may stand around an occurrence: nothing, a word character, a character of several
// bytes, a line end, a NUL byte.
const std::string_view kSurroundings[] = {"", " ", "x", "_", "\xC3\xA9" /* é */, "\xE2\x80\x94" /* — */,
                                          "\xE5\x86\x85" /* 内 */, "\xF0\x9D\x90\x80" /* 𝐀 */, "\n",
                                          std::string_view("\0", 1)};

// The first word of a query, without its sign.
std::string firstWord(const char* query) {
    std::string word(query, std::strcspn(query, " "));
    if (word[0] == '+' || word[0] == '-') word.erase(0, 1);
    return word;
}

TEST(TermStream, CountsOccurrencesAtEveryOffsetAroundThePieceEdgesAsTheWholeTextDoes) {
    std::mt19937 rng(15);
    for (const StreamQuery& query : kStreamQueries) {
        const CompiledQuery q(conditionsOf(query));
        ASSERT_FALSE(q.refused()) << query.text;
        const std::size_t piece = smallestPiece(q);
        TermStream stream(q, piece);
        auto matcher = q.matcher();
        const std::string word = query.type == QueryType::Phrase ? std::string(query.text) : firstWord(query.text);
        for (std::string_view before : kSurroundings) {
            for (std::string_view after : kSurroundings) {
                const std::string occurrence = std::string(before) + word + std::string(after);
                // Three pieces' worth of offsets: the first edge and the ones after a carry.
                for (std::size_t at = 0; at + occurrence.size() <= 3 * piece; ++at) {
                    std::string text(3 * piece + 7, '.');
                    text.replace(at, occurrence.size(), occurrence);
                    // A second occurrence right behind the first, so a carried one is not counted twice.
                    if (at + 2 * occurrence.size() < text.size()) text.replace(at + occurrence.size(), occurrence.size(), occurrence);
                    const std::vector<std::int64_t> whole = countWhole(*matcher, text);
                    for (Reads reads : {Reads::FillRoom, Reads::Ragged}) {
                        ASSERT_EQ(countStreamed(stream, text, reads, rng).counts, whole)
                            << query.text << " at " << at << " between '" << before << "' and '" << after
                            << "', piece " << piece << (reads == Reads::Ragged ? ", ragged reads" : "");
                    }
                }
            }
        }
    }
}

// Tokens that make the words overlap, nearly match, change case or sit against word characters.
const char* const kStreamTokens[] = {"aa",
                                     "a",
                                     "needle",
                                     "NEEDLE",
                                     "needles",
                                     "kfree",
                                     "spin_lock",
                                     "e",
                                     "\xC3\xA9",
                                     "\xC3\x89t\xC3\xA9",
                                     "STRASSE",
                                     "stra\xC3\x9F"
                                     "e",
                                     " ",
                                     "\n",
                                     "_",
                                     "\xE2\x80\x94",
                                     "\xFF",
                                     "\x80",
                                     "static int",
                                     "static"};

std::string randomStreamText(std::mt19937& rng, std::size_t tokens, int nulOdds) {
    std::string text;
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kStreamTokens) - 1);
    std::uniform_int_distribution<int> nul(0, nulOdds);
    for (std::size_t i = 0; i < tokens; ++i) {
        text += kStreamTokens[pick(rng)];
        if (nul(rng) == 0) text.push_back('\0');
    }
    return text;
}

TEST(TermStream, CountsRandomTextsAsTheWholeTextDoesWithAnyPieceAndReads) {
    std::mt19937 rng(20261209);
    for (const StreamQuery& query : kStreamQueries) {
        const CompiledQuery q(conditionsOf(query));
        auto matcher = q.matcher();
        for (std::size_t piece : {smallestPiece(q), smallestPiece(q) + 37, std::size_t{4096}, TermStream::kPieceBytes}) {
            TermStream stream(q, piece);
            for (int round = 0; round < 60; ++round) {
                // Mostly texts of many pieces; NUL bytes rare enough that most get far.
                const std::string text = randomStreamText(rng, round % 10 == 0 ? 30000 : round * 40, 3000);
                const std::vector<std::int64_t> whole = countWhole(*matcher, text);
                for (Reads reads : {Reads::FillRoom, Reads::Ragged})
                    ASSERT_EQ(countStreamed(stream, text, reads, rng).counts, whole)
                        << query.text << ", piece " << piece << ", round " << round;
            }
        }
    }
}

TEST(TermStream, EndsAtTheFirstNulByteAndAsksForNothingAfterIt) {
    const CompiledQuery q(conditionsOf(kStreamQueries[0]));
    const std::size_t piece = 256;
    TermStream stream(q, piece);
    std::mt19937 rng(3);
    auto matcher = q.matcher();
    for (std::size_t nulAt : {std::size_t{0}, std::size_t{5}, piece - 1, piece, 3 * piece + 11}) {
        std::string text;
        while (text.size() < 8 * piece) text += "a needle ";
        text[nulAt] = '\0';
        const Streamed s = countStreamed(stream, text, Reads::FillRoom, rng);
        EXPECT_EQ(s.counts, countWhole(*matcher, text)) << nulAt;
        // The read ends with the piece that holds the NUL byte.
        EXPECT_LT(s.bytesTaken, nulAt + piece + 64) << nulAt;
    }
}

TEST(TermStream, AnExcludedWordEndsTheReadWithTheVerdictOfAFullCount) {
    const CompiledQuery q(conditionsOf(kStreamQueries[10]));  // +needle -kfree aa
    TermStream stream(q, 512);
    auto matcher = q.matcher();
    std::mt19937 rng(9);
    int listed = 0, refused = 0;
    for (int round = 0; round < 300; ++round) {
        std::string text = randomStreamText(rng, 200 + round * 3, 100000);
        std::replace(text.begin(), text.end(), 'f', 'g');  // kfree only where put in below
        if (round % 3 == 0) text.insert(text.size() / 3, " kfree ");
        const Streamed s = countStreamed(stream, text, Reads::FillRoom, rng, true);
        const bool expected = q.listed(countWhole(*matcher, text));
        ASSERT_EQ(q.listed(s.counts), expected) << round;
        if (round % 3 == 0 && text.size() > 4096) {
            EXPECT_LT(s.bytesTaken, text.size()) << "read on after -kfree";
        }
        (expected ? listed : refused)++;
    }
    EXPECT_GT(listed, 0);
    EXPECT_GT(refused, 0);
}

// A text kept whole for a reader after the count (a dry run's modification): it is counted as
// before, goes on past a NUL byte as a whole read does, and notes where a phrase lies as the
// whole-text count notes it.
TEST(TermStream, KeepsTheWholeTextAndNotesThePhraseAsTheWholeTextCountDoes) {
    std::mt19937 rng(20261210);
    int past = 0, ended = 0;
    for (const StreamQuery& query : kStreamQueries) {
        const CompiledQuery q(conditionsOf(query));
        auto matcher = q.matcher();
        std::vector<Occurrence> noted;
        matcher->noteOccurrences(&noted);
        for (std::size_t piece : {smallestPiece(q), std::size_t{4096}}) {
            TermStream stream(q, piece);
            platform::FileBuffer kept;
            for (int round = 0; round < 40; ++round) {
                const std::string text =
                    randomStreamText(rng, round % 8 == 0 ? 20000 : round * 30, round % 2 ? 800 : 50000);
                const bool untilExcluded = round % 3 != 0;
                const bool told = round % 4 == 0;  // the file system said the size first
                for (Reads reads : {Reads::FillRoom, Reads::Ragged}) {
                    SCOPED_TRACE(std::string(query.text) + ", piece " + std::to_string(piece) + ", round " +
                                 std::to_string(round) + (reads == Reads::Ragged ? ", ragged" : ""));
                    std::vector<std::int64_t> counts;
                    std::vector<Occurrence> found{{1, 2}};  // emptied by begin()
                    stream.begin(counts, untilExcluded, kept, &found);
                    if (told) stream.expect(text.size());
                    const char* const start = told ? kept.data() : nullptr;
                    std::size_t taken = 0;
                    while (taken < text.size()) {
                        const std::span<char> room = stream.room();
                        std::size_t n = std::min(room.size(), text.size() - taken);
                        if (reads == Reads::Ragged) n = std::uniform_int_distribution<std::size_t>(1, n)(rng);
                        std::memcpy(room.data(), text.data() + taken, n);
                        taken += n;
                        if (!stream.arrived(n)) break;
                    }
                    stream.end();
                    // Counting that ends at an Excluded word settles the verdict, not every count.
                    const std::vector<std::int64_t> whole = countWhole(*matcher, text, untilExcluded);
                    if (untilExcluded) {
                        ASSERT_EQ(q.listed(counts), q.listed(whole));
                    } else {
                        ASSERT_EQ(counts, whole);
                    }
                    if (start) {
                        EXPECT_EQ(kept.data(), start) << "moved although its size was told";
                    }
                    if (stream.keptWhole()) {
                        ASSERT_EQ(kept.view(), text);
                        past += text.find('\0') != std::string::npos;
                        if (q.notesOccurrences()) {
                            ASSERT_EQ(found.size(), noted.size());
                            for (std::size_t i = 0; i < found.size(); ++i) {
                                EXPECT_EQ(found[i].begin, noted[i].begin);
                                EXPECT_EQ(found[i].end, noted[i].end);
                            }
                        }
                    } else {
                        // Only an Excluded word ends the text early, and then the file is not listed.
                        EXPECT_TRUE(untilExcluded);
                        EXPECT_FALSE(q.listed(counts));
                        ++ended;
                    }
                    if (!q.notesOccurrences()) {
                        EXPECT_TRUE(found.empty());
                    }
                }
            }
        }
    }
    EXPECT_GT(past, 50);   // texts kept past a NUL byte
    EXPECT_GT(ended, 10);  // texts ended at an Excluded word
}

TEST(TermStream, SuitsWordQueriesWithOccurrencesShortAgainstAPiece) {
    SearchConditions c = conditionsOf(kStreamQueries[0]);
    EXPECT_TRUE(TermStream::suits(CompiledQuery(c)));
    c.findText = std::string(5000, 'x');
    EXPECT_FALSE(TermStream::suits(CompiledQuery(c), 4096));
    EXPECT_TRUE(TermStream::suits(CompiledQuery(c), 64u << 10));
    c.queryType = QueryType::RegExpr;
    c.findLines = {"needle"};
    EXPECT_FALSE(TermStream::suits(CompiledQuery(c)));
    c.queryType = QueryType::Multiline;
    EXPECT_FALSE(TermStream::suits(CompiledQuery(c)));
}

}  // namespace
}  // namespace vsr::engine
