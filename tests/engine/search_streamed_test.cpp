// Word queries count each file as it is read, piece by piece: on real files of every size
// around the piece, with occurrences across the piece edges and NUL bytes, the rows are those
// a count over each whole file gives, with one thread and with several; Stop ends the read of
// a long file between two of its pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>

#include "engine/query/compiled_query.h"
#include "engine/query/term_stream.h"
#include "engine/search/recording_host.h"
#include "engine/search/search_driver.h"
#include "platform/clock.h"
#include "platform/locale_formats.h"
#include "platform/posix_file_system.h"
#include "platform/type_names.h"
#include "support/temp_dir.h"
#include "support/watched_reads.h"

namespace vsr::engine {
namespace {

constexpr std::size_t kPiece = TermStream::kPieceBytes;

using vsr::test::WatchedReads;

struct StreamedSearch {
    vsr::test::TempDir dir;
    platform::PosixFileSystem posix;
    platform::FakeClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    RecordingHost host;
    WatchedReads fs{posix, host.state.stop};
    SearchDriver driver{{fs, clock, formats, types}, host};
    SearchConditions conditions = formConditions(dir.str());
    std::map<std::string, std::string> files;  // name -> contents

    void write(const std::string& name, std::string text) {
        dir.write(name, text);
        files[name] = std::move(text);
    }
    // name:found of every row, sorted (the folder's listing order is the kernel's).
    std::vector<std::string> run(int threads) {
        driver.setThreads(threads);
        SearchConditions c = conditions;
        driver.FindButtonClick(c);
        std::vector<std::string> rows;
        for (const results::ResultItem& r : host.list.rows()) rows.push_back(r.name + ":" + r.found);
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    // The rows a count over each whole file gives (one count per word in the Found column).
    std::vector<std::string> wholeFileRows() const {
        const CompiledQuery q(conditions);
        auto matcher = q.matcher();
        std::vector<std::string> rows;
        for (const auto& [name, text] : files) {
            std::vector<std::int64_t> counts;
            matcher->count(text, counts, true);
            if (!q.listed(counts)) continue;
            std::string found;
            for (std::int64_t n : counts) found += (found.empty() ? "" : ", ") + std::to_string(n);
            rows.push_back(name + ":" + found);
        }
        return rows;
    }
};

// `word` at each offset from `first` on, `step` apart, in a text of `size` bytes of filler
// with line ends.
std::string textWith(std::size_t size, const std::string& word, std::size_t first, std::size_t step) {
    std::string text(size, 'z');
    for (std::size_t i = 80; i < size; i += 81) text[i] = '\n';
    for (std::size_t at = first; at + word.size() <= size; at += step) text.replace(at, word.size(), word);
    return text;
}

TEST(StreamedSearch, RowsEqualACountOverEachWholeFile) {
    StreamedSearch f;
    // Occurrences straddling each piece edge by every amount, and in the bytes kept across it.
    for (std::size_t size : {std::size_t{0}, std::size_t{5}, kPiece - 1, kPiece, kPiece + 1, 3 * kPiece + 17})
        for (std::size_t shift = 0; shift < 12; shift += 3)
            f.write("edge" + std::to_string(size) + "_" + std::to_string(shift) + ".txt",
                    textWith(size, " needle kfree ", kPiece - 14 + shift, kPiece - 1));
    // Word characters against the word across an edge, an upper-case one, overlapping words.
    f.write("words.txt", textWith(2 * kPiece + 50, "xneedle NEEDLE needle_ aaa kfree", kPiece - 20, 997));
    // A NUL byte: nothing after it counts, though the file goes on with occurrences.
    std::string nul = textWith(4 * kPiece, " needle ", 1000, 5000);
    nul[kPiece + 100] = '\0';
    f.write("nul.txt", nul);
    f.write("nul_first.txt", std::string(1, '\0') + textWith(kPiece * 2, " needle ", 3, 777));

    struct Case {
        QueryType type;
        const char* query;
        bool caseSensitive;
        bool wholeWords;
    };
    const Case cases[] = {
        {QueryType::Phrase, "needle", true, false},
        {QueryType::Phrase, "needle", false, false},
        {QueryType::Phrase, "needle", true, true},
        {QueryType::WordsOr, "needle kfree aa", true, false},
        {QueryType::WordsAnd, "needle kfree", false, true},
        {QueryType::SearchEngine, "+needle -aaa", false, false},
        {QueryType::SearchEngine, "-kfree", true, false},
    };
    for (const Case& c : cases) {
        f.conditions.queryType = c.type;
        f.conditions.findText = c.query;
        f.conditions.caseSensitive = c.caseSensitive;
        f.conditions.wholeWords = c.wholeWords;
        const std::vector<std::string> expected = f.wholeFileRows();
        EXPECT_FALSE(expected.empty()) << c.query;
        for (int threads : {1, 2, 4}) {
            f.fs.wholeReads = 0;
            EXPECT_EQ(f.run(threads), expected) << c.query << ", " << threads << " threads";
            EXPECT_EQ(f.fs.wholeReads.load(), 0) << "every file is streamed";
        }
    }
}

TEST(StreamedSearch, StopEndsTheReadOfALongFileBetweenItsPieces) {
    StreamedSearch f;
    constexpr std::size_t kLong = 200 * kPiece;
    f.write("long.txt", textWith(kLong, "needle", 10, 4099));
    f.write("small.txt", "a needle\n");
    f.conditions.findText = "needle";
    for (int threads : {1, 2}) {
        f.fs.pressAt = 0;
        f.fs.mostRead = 0;
        EXPECT_EQ(f.run(threads).size(), 2u);
        EXPECT_FALSE(f.host.summary.stopped);

        f.fs.mostRead = 0;
        f.fs.pressAt = 8 * kPiece;
        const std::vector<std::string> stopped = f.run(threads);
        EXPECT_TRUE(f.host.summary.stopped);
        EXPECT_GE(f.fs.mostRead.load(), f.fs.pressAt);
        EXPECT_LT(f.fs.mostRead.load(), kLong / 2) << "the read went on after Stop";
        for (const std::string& row : stopped) EXPECT_EQ(row.rfind("small.txt", 0), 0u) << row;
    }
}

}  // namespace
}  // namespace vsr::engine
