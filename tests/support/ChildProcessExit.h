#pragma once

#include "app/ProcessExit.h"

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

// Ends the process it runs in, as the real exit does; a test runs the exit in
// a forked child (ExitStatusInChild) and reads what the child ended with.
class ChildProcessExit : public ProcessExit {
public:
    std::function<int(int)> statusOf = [](int status) { return status; };

    [[noreturn]] void Exit(int status) override { _exit(statusOf(status)); }
};

// Runs exit (an action that ends in processExit.Exit) in a forked child. The
// child's exit status: the window's when clean() holds at the moment of the
// exit, 254 when it does not; -1 when the action returned or the child died.
inline int ExitStatusInChild(ChildProcessExit& processExit, const std::function<void()>& exit,
                             const std::function<bool()>& clean) {
    const pid_t child = fork();
    if (child == 0) {
        processExit.statusOf = [&clean](int status) { return clean() ? status : 254; };
        exit();
        _exit(255);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) == 255) {
        return -1;
    }
    return WEXITSTATUS(status);
}
