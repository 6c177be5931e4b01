#pragma once

#include "Clock.h"

#include <cstdint>

// A clock whose time moves only when it is slept on or polled: each tick
// count query advances it by one millisecond, so a 1000 ms reply limit takes
// about a thousand polls and no real time.
class FakeClock : public Clock {
public:
    explicit FakeClock(std::uint32_t start = 0) : now_(start) {}

    void Sleep(std::uint32_t milliseconds) override {
        now_ += milliseconds;
        slept_ += milliseconds;
    }
    std::uint32_t TickCount() override { return now_++; }

    // Time as it stands, without the step of a poll.
    std::uint32_t Now() const { return now_; }
    // Sum of all sleeps so far: the waits that the program asked for.
    std::uint64_t Slept() const { return slept_; }

private:
    std::uint32_t now_;
    std::uint64_t slept_ = 0;
};
