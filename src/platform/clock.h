#pragma once
#include <chrono>
#include <cstdint>

#include "platform/civil_date.h"

namespace vsr::platform {

// The tick counter for pump intervals and the wall clock for date filters, behind one
// interface so tests can move time by hand.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds of a steady counter; only differences are meaningful.
    virtual std::int64_t tickMs() = 0;
    // The current date and time.
    virtual FileTime now() = 0;
};

class SteadyClock final : public Clock {
public:
    std::int64_t tickMs() override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    FileTime now() override { return std::chrono::system_clock::now(); }
};

// A clock for tests: time stands still unless the test moves it or sets a step per tick read.
class FakeClock final : public Clock {
public:
    std::int64_t tickMs() override {
        std::int64_t t = tick_;
        tick_ += stepPerRead_;
        return t;
    }
    FileTime now() override { return now_; }

    void advance(std::int64_t ms) { tick_ += ms; }
    void setStepPerRead(std::int64_t ms) { stepPerRead_ = ms; }
    void setNow(FileTime t) { now_ = t; }

private:
    std::int64_t tick_ = 1000;
    std::int64_t stepPerRead_ = 0;
    FileTime now_ = std::chrono::system_clock::now();
};

}  // namespace vsr::platform
