#include "Clock.h"

#ifdef _WIN32
#include <windows.h>

void SystemClock::Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

std::uint32_t SystemClock::TickCount() {
    return ::GetTickCount();
}

#else
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
#endif
