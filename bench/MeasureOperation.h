#pragma once

#include "bench/Operations.h"

#include <QString>

#include <cstdint>
#include <vector>

class Clock;

// One figure of each kind per run, in milliseconds.
struct OperationSamples {
    std::vector<double> wallMs;
    std::vector<double> cpuMs;
    // Wall time outside the clock's sleeps: what the program itself took.
    std::vector<double> ownWorkMs;
    // What the program asked the clock to wait, summed per run.
    std::vector<double> requestedWaitsMs;
    // How much longer than asked the waits took: the system's timers and
    // scheduler, not the program.
    std::vector<double> waitsOverranMs;
    // Set when a run showed a box or a warning or did not do its job: its
    // figures measure a failure, not the operation.
    QString complaint;
};

// Runs the operation `runs` times on a fresh window over `clock`.
OperationSamples MeasureOperation(const Operation& operation, Clock& clock, int runs);
