#include "cli/Terminal.h"

#include <unistd.h>

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

bool StandardOutputIsTerminal() {
    return isatty(STDOUT_FILENO) == 1;
}
