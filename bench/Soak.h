#pragma once

#include <QString>

#include <optional>
#include <vector>

class Clock;

// What the process holds after a number of read-and-write rounds.
struct SoakCheckpoint {
    int rounds = 0;
    std::optional<long long> residentKiB;
    int statusBarWidgets = 0;
};

struct SoakResult {
    std::vector<SoakCheckpoint> checkpoints;
    QString complaint;
};

// One window, `rounds` times a Read EDID and a Write EDID, with a checkpoint
// after a short warm-up (caches, the first progress bar) and then at each
// quarter.
SoakResult SoakReadWrite(Clock& clock, int rounds);
