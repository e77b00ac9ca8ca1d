// The read budget lets threads read while the data they hold stays under its limit, makes the
// next one wait while it is reached, and lets it go on once another gives some back or the run
// is over; a file larger than the whole budget is still read, alone.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "engine/search/read_budget.h"

namespace vsr::engine {
namespace {

using namespace std::chrono_literals;

const auto kNeverStopped = [] { return false; };

// Waits up to two seconds for `done`.
template <class Done>
bool budgetEventually(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Whether a reader that asks for room returns within `patience`; one that is still waiting then
// is let go through the run's stop, so the test goes on either way.
bool budgetLetsThrough(ReadBudget& budget, std::chrono::milliseconds patience) {
    std::atomic<bool> stop = false;
    std::atomic<bool> returned = false;
    std::thread reader([&] {
        budget.waitForRoom([&] { return stop.load(); });
        returned = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!returned && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
    const bool through = returned;
    stop = true;
    if (!budgetEventually([&] { return returned.load(); })) {
        ADD_FAILURE() << "a reader still waits after the run was stopped";
        budget.release(budget.limit() + 1000000);  // let it go, so the test ends
    }
    reader.join();
    return through;
}

TEST(ReadBudget, WaitsExactlyWhileTheHeldDataReachesTheLimit) {
    // Positive steps charge, negative ones release; after them a reader waits or not.
    struct Case {
        const char* label;
        std::size_t limit;
        std::vector<long> steps;
        bool waits;
    } cases[] = {
        {"nothing held", 100, {}, false},
        {"under the limit", 100, {60}, false},
        {"just under", 100, {60, 39}, false},
        {"at the limit", 100, {60, 40}, true},
        {"over it", 100, {70, 40}, true},
        {"given back below it", 100, {70, 40, -40}, false},
        {"a large file while it is read", 100, {5000}, true},
        {"a large file after it", 100, {5000, -5000}, false},
        {"more given back than held does not wrap around", 100, {60, -70}, false},
        {"charged again after that", 100, {60, -70, 100}, true},
        {"a budget of nothing still lets one read start", 0, {}, false},
        {"and holds the next one back", 0, {1}, true},
    };
    for (const Case& c : cases) {
        ReadBudget budget(c.limit);
        for (long step : c.steps) {
            if (step > 0) budget.charge(static_cast<std::size_t>(step));
            else budget.release(static_cast<std::size_t>(-step));
        }
        // A reader with room returns at once (allowing for a busy machine); one without still waits
        // a while later.
        if (c.waits) EXPECT_FALSE(budgetLetsThrough(budget, 30ms)) << c.label;
        else EXPECT_TRUE(budgetLetsThrough(budget, 2000ms)) << c.label;
    }
}

TEST(ReadBudget, AFullBudgetWaitsUntilDataIsGivenBack) {
    for (int round = 0; round < 10; ++round) {
        ReadBudget budget(100);
        budget.charge(70);
        budget.charge(40);
        std::atomic<bool> through = false;
        std::thread reader([&] {
            budget.waitForRoom(kNeverStopped);
            through = true;
        });
        // Still waiting a while later; released then, it goes on.
        std::this_thread::sleep_for(30ms);
        const bool waited = !through;
        EXPECT_TRUE(waited) << round;
        budget.release(40);
        EXPECT_TRUE(budgetEventually([&] { return through.load(); })) << round;
        if (!through) budget.release(1000);  // let a stuck reader go, so the test ends
        reader.join();
        if (!waited) break;
    }
}

TEST(ReadBudget, AStoppedRunWaitsNoLonger) {
    ReadBudget budget(100);
    budget.charge(100);
    std::atomic<bool> stop = false;
    std::atomic<bool> returned = false;
    std::thread reader([&] {
        budget.waitForRoom([&] { return stop.load(); });
        returned = true;
    });
    std::this_thread::sleep_for(30ms);
    EXPECT_FALSE(returned.load()) << "the budget is full";
    stop = true;
    // Returns although the budget is still full.
    EXPECT_TRUE(budgetEventually([&] { return returned.load(); }));
    if (!returned) budget.release(100);  // let a stuck reader go, so the test ends
    reader.join();
}

}  // namespace
}  // namespace vsr::engine
