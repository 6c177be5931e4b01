#include "ProcessMeters.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#include <unistd.h>
#endif

#include <fstream>

std::chrono::nanoseconds ProcessCpuTime() {
#ifdef _WIN32
    FILETIME creation, exit, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user)) {
        return {};
    }
    const auto hundreds = [](const FILETIME& time) {
        return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return std::chrono::nanoseconds((hundreds(kernel) + hundreds(user)) * 100);
#else
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
#endif
}

std::optional<long long> ResidentKiB() {
#ifdef __linux__
    // Fields: total program size, then resident pages.
    std::ifstream statm("/proc/self/statm");
    long long totalPages = 0;
    long long residentPages = 0;
    if (!(statm >> totalPages >> residentPages)) {
        return std::nullopt;
    }
    return residentPages * sysconf(_SC_PAGESIZE) / 1024;
#else
    return std::nullopt;
#endif
}
