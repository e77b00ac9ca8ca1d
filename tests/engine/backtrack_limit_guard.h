#pragma once
#include <cstdint>

#include "regexpr/vx_regex.h"

namespace vsr::engine::test {

// Lowers the backtracking budget of the engines a test makes, so that reaching it takes a
// fraction of a second even in a sanitizer build; the default comes back at the end.
class BacktrackLimitGuard {
public:
    explicit BacktrackLimitGuard(std::uint64_t limit) : saved_(regexpr::TVxRegex::DefaultBacktrackLimit()) {
        regexpr::TVxRegex::SetDefaultBacktrackLimit(limit);
    }
    ~BacktrackLimitGuard() { regexpr::TVxRegex::SetDefaultBacktrackLimit(saved_); }
    BacktrackLimitGuard(const BacktrackLimitGuard&) = delete;
    BacktrackLimitGuard& operator=(const BacktrackLimitGuard&) = delete;

private:
    std::uint64_t saved_;
};

// Lowers the budget of steps likewise.
class StepLimitGuard {
public:
    explicit StepLimitGuard(std::uint64_t limit) : saved_(regexpr::TVxRegex::DefaultStepLimit()) {
        regexpr::TVxRegex::SetDefaultStepLimit(limit);
    }
    ~StepLimitGuard() { regexpr::TVxRegex::SetDefaultStepLimit(saved_); }
    StepLimitGuard(const StepLimitGuard&) = delete;
    StepLimitGuard& operator=(const StepLimitGuard&) = delete;

private:
    std::uint64_t saved_;
};

}  // namespace vsr::engine::test
