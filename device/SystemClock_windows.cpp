#include "device/Clock.h"

#include <windows.h>

void SystemClock::Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

std::uint32_t SystemClock::TickCount() {
    return ::GetTickCount();
}
