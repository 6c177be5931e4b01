#include "tests/support/ChildProcessExit.h"

#include <cstdlib>

// Windows has no fork: an exit would end the test program itself.
const bool kExitRunsInChild = false;

void ChildProcessExit::Exit(int status) {
    std::_Exit(statusOf(status));
}

int ExitStatusInChild(ChildProcessExit&, const std::function<void()>&,
                      const std::function<bool()>&) {
    return -1;
}
