#pragma once

#include "device/Clock.h"

#include <chrono>
#include <cstdint>

// Passes every call on to another clock and keeps account of the waits that
// the program asked for and of the wall time they took, so that an
// operation's own work can be told apart from its waits.
class AccountingClock : public Clock {
public:
    explicit AccountingClock(Clock& inner) : inner_(inner) {}

    void Sleep(std::uint32_t milliseconds) override {
        const auto start = std::chrono::steady_clock::now();
        inner_.Sleep(milliseconds);
        timeInWaits_ += std::chrono::steady_clock::now() - start;
        requestedMs_ += milliseconds;
    }
    std::uint32_t TickCount() override { return inner_.TickCount(); }

    void ResetAccount() {
        requestedMs_ = 0;
        timeInWaits_ = {};
    }
    std::uint64_t RequestedMs() const { return requestedMs_; }
    std::chrono::steady_clock::duration TimeInWaits() const { return timeInWaits_; }

private:
    Clock& inner_;
    std::uint64_t requestedMs_ = 0;
    std::chrono::steady_clock::duration timeInWaits_{};
};
