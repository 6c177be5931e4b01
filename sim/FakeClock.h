#pragma once

#include "device/BridgeTransport.h"
#include "device/Clock.h"

#include <atomic>
#include <cstdint>

// A clock whose time moves only when it is slept on or polled: each tick
// count query advances it by one millisecond, so a 1000 ms reply limit takes
// no real time. The reply wait's naps move it too, but are kept apart from
// the waits that the program asks for. Several threads may share it, as the
// workers of a bench of units do; their waits then add up on the one time.
class FakeClock : public Clock {
public:
    explicit FakeClock(std::uint32_t start = 0) : now_(start) {}
    FakeClock& operator=(const FakeClock& other) {
        now_ = other.now_.load();
        slept_ = other.slept_.load();
        napped_ = other.napped_.load();
        return *this;
    }

    void Sleep(std::uint32_t milliseconds) override {
        now_ += milliseconds;
        (milliseconds == BridgeTransport::kPollNapMs ? napped_ : slept_) += milliseconds;
    }
    std::uint32_t TickCount() override { return now_++; }

    // Time as it stands, without the step of a poll.
    std::uint32_t Now() const { return now_; }
    // Sum of all sleeps so far but the naps: the waits that the program
    // asked for.
    std::uint64_t Slept() const { return slept_; }
    // Sum of the reply wait's naps between queue checks.
    std::uint64_t Napped() const { return napped_; }

private:
    std::atomic<std::uint32_t> now_;
    std::atomic<std::uint64_t> slept_{0};
    std::atomic<std::uint64_t> napped_{0};
};
