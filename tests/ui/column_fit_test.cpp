#include <gtest/gtest.h>

#include <numeric>

#include "ui/list/column_fit.h"

namespace vsr::ui {
namespace {

ColumnNeed need(int wanted, int current = 60, bool fixed = false) { return {current, wanted, 40, fixed}; }

int sum(const std::vector<int>& v) { return std::accumulate(v.begin(), v.end(), 0); }

TEST(ColumnFit, EveryColumnGetsItsTextsWholeWhenTheyFit) {
    EXPECT_EQ(shareColumnWidths({need(96), need(165), need(42)}, 400), (std::vector<int>{96, 165, 42}));
    // Narrower than before is fine too: the list's width is what counts.
    EXPECT_EQ(shareColumnWidths({need(50, 200), need(30, 10)}, 400), (std::vector<int>{50, 30}));
}

TEST(ColumnFit, WideColumnsShareWhatIsLeftAndNarrowOnesStayWhole) {
    const std::vector<int> w = shareColumnWidths({need(300), need(320), need(42), need(83), need(56)}, 450);
    EXPECT_LE(sum(w), 450);
    EXPECT_GE(sum(w), 445);  // nothing given away
    EXPECT_EQ(w[2], 42);
    EXPECT_EQ(w[3], 83);
    EXPECT_EQ(w[4], 56);
    EXPECT_LE(std::abs(w[0] - w[1]), 1);  // the two wide ones are cut alike
}

TEST(ColumnFit, SizedColumnsKeepTheirWidthAndFloorsHold) {
    const std::vector<int> w = shareColumnWidths({need(300, 250, true), need(320), need(42)}, 300);
    EXPECT_EQ(w[0], 250);
    EXPECT_EQ(w[1], 40);  // no room left: down to its floor, not below
    EXPECT_EQ(w[2], 40);
    // A column that wants less than its floor keeps what it wants.
    EXPECT_EQ(shareColumnWidths({need(20), need(500)}, 30), (std::vector<int>{20, 40}));
}

}  // namespace
}  // namespace vsr::ui
