#include "cli/Interrupts.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t arrived = 0;

void NoteInterrupt(int signal) {
    arrived = 1;
    // The C runtime resets the handler on each delivery.
    std::signal(signal, NoteInterrupt);
}

} // namespace

void CatchInterrupts() {
    std::signal(SIGINT, NoteInterrupt);
    std::signal(SIGTERM, NoteInterrupt);
}

bool InterruptArrived() {
    return arrived != 0;
}
