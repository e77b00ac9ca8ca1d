// Stop during the read of one huge file: the read ends between two of its pieces, the file is
// not listed, and a run left alone reads it whole and lists it as before. Files past the size a
// whole read takes are counted piece by piece, or named when the query needs the whole text.
// Sparse files stand in for huge ones.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>

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

using vsr::test::WatchedReads;

struct HugeFileSearch {
    static constexpr std::uint64_t kHuge = 96u * platform::kReadPieceBytes + 3;

    vsr::test::TempDir dir;
    platform::PosixFileSystem posix;
    platform::FakeClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    RecordingHost host;
    WatchedReads fs{posix, host.state.stop};
    SearchDriver driver{{fs, clock, formats, types}, host};
    SearchConditions conditions = formConditions(dir.str());

    HugeFileSearch() {
        // Every read is a whole read, watched piece by piece.
        fs.wholeReadsOnly = true;
        // The word at the head of the file, then a hole of zeros up to the full size.
        const std::string huge = dir.write("huge.txt", "needle here\n").string();
        EXPECT_EQ(::truncate(huge.c_str(), static_cast<off_t>(kHuge)), 0);
        dir.write("small.txt", "a needle\n");
    }
    std::vector<std::string> run(QueryType type, const std::string& query, int threads) {
        conditions.queryType = type;
        conditions.findText = query;
        driver.setThreads(threads);
        SearchConditions c = conditions;
        driver.FindButtonClick(c);
        std::vector<std::string> names;
        for (const results::ResultItem& r : host.list.rows()) names.push_back(r.name + ":" + r.found);
        std::sort(names.begin(), names.end());  // the folder's listing order is the kernel's
        return names;
    }
};

TEST(SearchLargeFiles, StopEndsTheReadOfAHugeFileBetweenItsPieces) {
    using Names = std::vector<std::string>;
    struct Case {
        QueryType type;
        const char* query;
        Names whole;  // every row of a run left alone
    };
    const Case cases[] = {
        {QueryType::Phrase, "needle", {"huge.txt:1", "small.txt:1"}},
        // Files without the word are listed: a file whose read was stopped is not among them.
        {QueryType::SearchEngine, "-absent", {"huge.txt:0", "small.txt:0"}},
    };
    for (const Case& c : cases) {
        for (int threads : {1, 2}) {
            HugeFileSearch f;
            EXPECT_EQ(f.run(c.type, c.query, threads), c.whole) << c.query << " threads " << threads;
            EXPECT_EQ(f.fs.mostRead.load(), HugeFileSearch::kHuge - 3);  // asked before the last piece
            EXPECT_FALSE(f.host.summary.stopped);

            f.fs.mostRead = 0;
            f.fs.pressAt = 4 * platform::kReadPieceBytes;
            const Names stopped = f.run(c.type, c.query, threads);
            EXPECT_TRUE(f.host.summary.stopped);
            EXPECT_GE(f.fs.mostRead.load(), f.fs.pressAt);
            EXPECT_LT(f.fs.mostRead.load(), HugeFileSearch::kHuge / 2) << "the read went on after Stop";
            for (const std::string& row : stopped) EXPECT_EQ(row.rfind("small.txt", 0), 0u) << row;
        }
    }
}

TEST(SearchLargeFiles, FilesPastTheWholeReadLimitAreCountedInPiecesOrNamed) {
    using Names = std::vector<std::string>;
    struct Case {
        QueryType type;
        const char* query;
        Names rows;
        bool named;  // the big file is named as not searched
    };
    const Case cases[] = {
        {QueryType::Phrase, "needle", {"big.txt:1", "small.txt:1"}, false},
        {QueryType::WordsAnd, "a needle", {"big.txt:1, 1", "small.txt:1, 1"}, false},
        {QueryType::SearchEngine, "-absent", {"big.txt:0", "small.txt:0"}, false},
        {QueryType::Multiline, "a needle", {"small.txt:1"}, true},
        // Line by line: a run of lines at a time. Over the whole text: named.
        {QueryType::RegExpr, "ne+dle", {"big.txt:1", "small.txt:1"}, false},
        {QueryType::RegExpr, "ne+dle\\s", {"small.txt:1"}, true},
    };
    constexpr std::uint64_t kBig = platform::kMaxReadableFileSize + 4097;
    for (const Case& c : cases) {
        for (int threads : {1, 3}) {
            vsr::test::TempDir dir;
            const std::string big = dir.write("big.txt", "a needle\n").string();
            ASSERT_EQ(::truncate(big.c_str(), static_cast<off_t>(kBig)), 0);  // a hole: no disk taken
            dir.write("small.txt", "a needle\n");
            platform::PosixFileSystem fs;
            platform::FakeClock clock;
            platform::FakeLocaleFormats formats;
            platform::FakeTypeNames types;
            RecordingHost host;
            SearchDriver driver({fs, clock, formats, types}, host);
            driver.setThreads(threads);
            SearchConditions conditions = formConditions(dir.str());
            conditions.queryType = c.type;
            conditions.findText = c.query;
            conditions.findLines = {c.query};
            driver.FindButtonClick(conditions);
            Names rows;
            for (const results::ResultItem& r : host.list.rows()) {
                rows.push_back(r.name + ":" + r.found);
                if (r.name == "big.txt") {
                    EXPECT_EQ(r.bytes, std::optional<std::uint64_t>(kBig));
                }
            }
            std::sort(rows.begin(), rows.end());
            EXPECT_EQ(rows, c.rows) << c.query << " threads " << threads;
            EXPECT_FALSE(host.summary.stopped);
            ASSERT_EQ(host.messages.size(), c.named ? 1u : 0u) << c.query;
            if (c.named) {
                EXPECT_EQ(host.messages[0].text,
                          "1 file was not searched: it is larger than 2 GB - 1 bytes, and a " +
                              std::string(c.type == QueryType::Multiline ? "Multiline" : "Reg Expr") +
                              " query reads each file whole:\n" + big);
            }
        }
    }
}

TEST(SearchLargeFiles, TheNotSearchedMessageNamesAFewAndCountsTheRest) {
    std::vector<UnsearchedFile> files;
    for (int i = 0; i < 4; ++i) files.push_back({"/f" + std::to_string(i), "it is too large for this"});
    EXPECT_EQ(unsearchedText(files, 2), "4 files were not searched: they are too large for this:\n/f0\n/f1\n... and 2 more");
    EXPECT_EQ(unsearchedText(files, 4), "4 files were not searched: they are too large for this:\n/f0\n/f1\n/f2\n/f3");
}

}  // namespace
}  // namespace vsr::engine
