#pragma once

#include <cstdlib>

// A broken property stops the fuzzer the way a crash does, so that it keeps
// the input that showed it.
inline void Expect(bool condition) {
    if (!condition) {
        std::abort();
    }
}
