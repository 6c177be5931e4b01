#pragma once

#include <chrono>
#include <optional>

// CPU time that the whole process has used so far, all threads together.
std::chrono::nanoseconds ProcessCpuTime();

// Resident set size in KiB; nothing where the system does not tell it.
std::optional<long long> ResidentKiB();
