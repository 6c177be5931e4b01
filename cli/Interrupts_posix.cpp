#include "cli/Interrupts.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t arrived = 0;

void NoteInterrupt(int) {
    arrived = 1;
}

} // namespace

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = NoteInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read of standard input or a write to a stalled pipe
    // returns, so that the tool gets to see the interrupt.
    action.sa_flags = 0;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

bool InterruptArrived() {
    return arrived != 0;
}
