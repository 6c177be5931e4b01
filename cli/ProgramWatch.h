#pragma once

#include "cli/CliSession.h"
#include "cli/ProgramRun.h"

// Programs every unit that is plugged in, once, until the user interrupts:
// a unit is known by its link, so one plugged into the same socket again is
// programmed again only after it was pulled out. Says "waiting for units"
// whenever nothing is being programmed. Units in flight at the interrupt
// finish; returns run.Finish()'s status.
int WatchAndProgram(CliSession& session, ProductionRun& run);
