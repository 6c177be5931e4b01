#include "bench/ProcessMeters.h"

#include <fstream>

#include <time.h>
#include <unistd.h>

std::chrono::nanoseconds ProcessCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

std::optional<long long> ResidentKiB() {
    // Fields: total program size, then resident pages. Systems without
    // /proc say nothing.
    std::ifstream statm("/proc/self/statm");
    long long totalPages = 0;
    long long residentPages = 0;
    if (!(statm >> totalPages >> residentPages)) {
        return std::nullopt;
    }
    return residentPages * sysconf(_SC_PAGESIZE) / 1024;
}
