#include "device/Clock.h"

#include <chrono>
#include <thread>

void SystemClock::Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::uint32_t SystemClock::TickCount() {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
    return static_cast<std::uint32_t>(ms);
}
