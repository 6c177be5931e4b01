#pragma once

#include <cstdint>

// Time as the transport sees it: a millisecond sleep and a 32-bit millisecond
// tick count whose differences are taken modulo 2^32, so a wrap does no harm.
class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    virtual std::uint32_t TickCount() = 0;
};

// The machine's own clock.
class SystemClock : public Clock {
public:
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t TickCount() override;
};
