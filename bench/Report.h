#pragma once

#include "bench/MeasureOperation.h"
#include "bench/Operations.h"
#include "bench/Soak.h"

#include <vector>

// Everything is printed to standard output as plain, aligned text.

void PrintMachine();
// Other processes slow every wall-time figure down; the load tells how much
// they were about. Printed only where the system tells it.
void PrintLoadAverage(const char* when);

// Wall time against the protocol's waits, with the real clock; `samples`
// match `operations` one to one.
void PrintRealClockTable(const std::vector<Operation>& operations,
                         const std::vector<OperationSamples>& samples);

// The program's own CPU time, with a fake clock under which waits cost nothing.
void PrintFakeClockTable(const std::vector<Operation>& operations,
                         const std::vector<OperationSamples>& samples);

void PrintSoak(const SoakResult& soak);

// Which figure is the overhead, and each operation's against the limit, with
// its parts. Returns the number of operations over the limit.
int PrintVerdict(const std::vector<Operation>& operations,
                 const std::vector<OperationSamples>& realClock,
                 const std::vector<OperationSamples>& fakeClock);
