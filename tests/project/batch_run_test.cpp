#include <gtest/gtest.h>

#include "fake_window.h"

namespace vsr::project {
namespace {

using test::FakeWindow;
using Pairs = std::vector<std::pair<std::string, std::string>>;

BatchTable table(std::vector<BatchPair> rows) {
    BatchTable t;
    t.rows = std::move(rows);
    t.numberOfRows = static_cast<int>(t.rows.size());
    return t;
}

TEST(BatchRun, RowsWithoutASearchCellAreSkipped) {
    FakeWindow w;
    const int ran = runBatchTable(w, table({{"one", "1"}, {"", "x"}, {"three", ""}, {"", ""}, {"five", "5"}}));
    EXPECT_EQ(ran, 3);
    EXPECT_EQ(w.pairsSearched, (Pairs{{"one", "1"}, {"three", ""}, {"five", "5"}}));
    EXPECT_EQ(w.modifications, 3);
    EXPECT_EQ(w.calls.front(), "clear viewer");
    EXPECT_EQ(w.calls.back(), "paint on");
}

TEST(BatchRun, BarsSplitLinesOnlyForMultiLineSearches) {
    FakeWindow w;
    w.fields.searchType = engine::SearchType::Multiline;
    runBatchTable(w, table({{"a|b", "c|d"}, {"a||b", ""}}));
    EXPECT_EQ(w.pairsSearched, (Pairs{{"a\nb", "c\nd"}, {"a|b", ""}}));

    FakeWindow phrase;
    runBatchTable(phrase, table({{"a|b", "c||d"}}));
    EXPECT_EQ(phrase.pairsSearched, (Pairs{{"a|b", "c||d"}}));
}

TEST(BatchRun, AStopDuringTheSecondPairEndsTheRemainingPairs) {
    FakeWindow w;
    w.duringSearch = [](FakeWindow& f) {
        if (f.searches == 2) f.stop = f.intervened = true;
    };
    runBatchTable(w, table({{"a", ""}, {"b", ""}, {"c", ""}}));
    EXPECT_EQ(w.searches, 2);
    EXPECT_EQ(w.modifications, 1);  // the stopped pair modifies nothing
    EXPECT_NE(std::find(w.calls.begin(), w.calls.end(), "deselect"), w.calls.end());
}

}  // namespace
}  // namespace vsr::project
