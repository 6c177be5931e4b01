#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class BenchWindow;

// One user action as the benchmark repeats it.
struct Operation {
    QString name;
    // The waits that the unit's protocol fixes for it and no implementation
    // can beat: 100 ms at every close, 50 ms after each written chunk, 50 ms
    // between the two reset commands.
    std::uint64_t protocolWaitsMs = 0;
    int realClockRuns = 0;
    int fakeClockRuns = 0;
    // Untimed: brings the window to where a run starts.
    std::function<void(BenchWindow&, int run)> prepare;
    std::function<void(BenchWindow&, int run)> run;
    // Untimed: what went wrong in the run, empty when it did what it is for.
    std::function<QString(BenchWindow&, int run)> check;
};

struct BenchFiles {
    QString tableToLoad;
    QString saveTarget;
};

// Run counts are divided by `divisor` (at least one run each), for a quick look.
std::vector<Operation> BenchOperations(const BenchFiles& files, int divisor);
