#pragma once

#include <cstdio>

// A minimal check helper for the Windows test programs, which cannot use Qt
// Test: every failed check is printed with its place, and Summary() prints
// "N passed, N failed" and gives the program's exit status.
namespace check {

struct Counts {
    int passed = 0;
    int failed = 0;
};

inline Counts& Tally() {
    static Counts counts;
    return counts;
}

inline bool That(bool condition, const char* expression, const char* file, int line) {
    if (condition) {
        ++Tally().passed;
    } else {
        ++Tally().failed;
        std::printf("FAIL %s:%d: %s\n", file, line, expression);
    }
    return condition;
}

inline int Summary() {
    std::printf("%d passed, %d failed\n", Tally().passed, Tally().failed);
    return Tally().failed == 0 ? 0 : 1;
}

} // namespace check

#define CHECK(condition) ::check::That((condition), #condition, __FILE__, __LINE__)
