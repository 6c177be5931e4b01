#include "bench/ProcessMeters.h"

#include <windows.h>

std::chrono::nanoseconds ProcessCpuTime() {
    FILETIME creation, exit, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user)) {
        return {};
    }
    const auto hundreds = [](const FILETIME& time) {
        return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return std::chrono::nanoseconds((hundreds(kernel) + hundreds(user)) * 100);
}

std::optional<long long> ResidentKiB() {
    return std::nullopt;
}
