#pragma once

#include <vector>

// What waiting for a reply costs the processor, measured with the real clock
// on the simulated bridge.
struct ReplyWaitFigures {
    const char* policy;
    // Wall time of a wait for a reply that never comes.
    double waitedMs = 0;
    // Processor time per second of that wait.
    double cpuMsPerSecond = 0;
    long long queueChecks = 0;
};

struct ReplyLatencyFigures {
    // Mean wall time of a transaction whose reply is there at once.
    double immediateUs = 0;
    // Mean wall time past the reply's delay, for a reply that comes later.
    double delayedLateMs = 0;
    int delayMs = 0;
};

// Both the poll without pauses that the transport used to run and the
// transport's own wait.
std::vector<ReplyWaitFigures> MeasureReplyWaits();
ReplyLatencyFigures MeasureReplyLatency();

void PrintReplyWaits(const std::vector<ReplyWaitFigures>& waits,
                     const ReplyLatencyFigures& latency);
