#pragma once

#include "app/ProcessExit.h"

#include <functional>

// Ends the process it runs in, as the real exit does; a test runs the exit in
// a forked child (ExitStatusInChild) and reads what the child ended with.
class ChildProcessExit : public ProcessExit {
public:
    std::function<int(int)> statusOf = [](int status) { return status; };

    [[noreturn]] void Exit(int status) override;
};

// Whether ExitStatusInChild can run an exit here. It forks, which Windows
// cannot, so the tests of an exit skip there.
extern const bool kExitRunsInChild;

// Runs exit (an action that ends in processExit.Exit) in a forked child. The
// child's exit status: the window's when clean() holds at the moment of the
// exit, 254 when it does not; -1 when the action returned or the child died.
int ExitStatusInChild(ChildProcessExit& processExit, const std::function<void()>& exit,
                      const std::function<bool()>& clean);
