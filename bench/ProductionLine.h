#pragma once

// The production run's time for 1, 2, 4 and 8 simulated units, all at once
// against one after another, each as a multiple of one unit's protocol waits,
// with the CPU time it took. Prints the figures; false, having said why, when
// a run did not verify every unit.
bool ReportProductionLine(int runs);
