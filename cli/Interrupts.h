#pragma once

// The signals by which a user stops the tool (Ctrl+C, a termination, the
// terminal going away) are caught rather than ending it at once, so that a
// write to the unit stops between chunks and the tool can say what state the
// unit is left in.
void CatchInterrupts();
// Whether one of them arrived since CatchInterrupts.
bool InterruptArrived();
