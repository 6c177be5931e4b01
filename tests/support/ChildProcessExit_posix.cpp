#include "tests/support/ChildProcessExit.h"

#include <sys/wait.h>
#include <unistd.h>

const bool kExitRunsInChild = true;

void ChildProcessExit::Exit(int status) {
    _exit(statusOf(status));
}

int ExitStatusInChild(ChildProcessExit& processExit, const std::function<void()>& exit,
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
