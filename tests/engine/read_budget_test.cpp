// The read budget lets threads read while the data they hold stays under its limit, makes the
// next one wait while it is reached, and lets it go on once another gives some back or the run
// is over; a file larger than the whole budget is still read, alone.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/search/read_budget.h"

namespace vsr::engine {
namespace {

const auto kNeverStopped = [] { return false; };

TEST(ReadBudget, ReadsGoAheadUnderTheLimitAndALargeFileAlone) {
    ReadBudget budget(100);
    budget.waitForRoom(kNeverStopped);  // nothing held
    budget.charge(60);
    budget.waitForRoom(kNeverStopped);  // 60 of 100
    budget.release(60);
    budget.charge(5000);  // larger than the budget, read when nothing else was held
    budget.release(5000);
    budget.release(10);  // more than held: the budget does not wrap around
    budget.waitForRoom(kNeverStopped);
}

TEST(ReadBudget, AFullBudgetWaitsUntilDataIsGivenBack) {
    for (int round = 0; round < 50; ++round) {
        ReadBudget budget(100);
        budget.charge(70);
        budget.charge(40);
        std::atomic<bool> released = false;
        std::atomic<bool> through = false;
        std::thread reader([&] {
            budget.waitForRoom(kNeverStopped);
            // Only a release lets it through.
            EXPECT_TRUE(released.load());
            through = true;
        });
        released = true;
        budget.release(40);
        reader.join();
        EXPECT_TRUE(through.load());
    }
}

TEST(ReadBudget, AStoppedRunWaitsNoLonger) {
    ReadBudget budget(100);
    budget.charge(100);
    std::atomic<bool> stop = false;
    std::thread reader([&] { budget.waitForRoom([&] { return stop.load(); }); });
    stop = true;
    reader.join();  // returns although the budget is still full
    SUCCEED();
}

}  // namespace
}  // namespace vsr::engine
