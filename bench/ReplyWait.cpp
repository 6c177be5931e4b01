#include "bench/ReplyWait.h"

#include "bench/ProcessMeters.h"
#include "device/BridgeTransport.h"
#include "device/LibraryLock.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"
#include "tests/support/RecordingTransportEvents.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <mutex>

namespace {

using Steady = std::chrono::steady_clock;

const std::array<std::uint8_t, 4> kChunkRequest{0x11, 0x10, 0xB0, 0x00};
constexpr int kLatencyRuns = 200;
constexpr int kDelayedRuns = 20;
constexpr int kReplyDelayMs = 5;

double MsBetween(Steady::time_point start, Steady::time_point end) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// The unit on the real clock, open, with nothing from it in the way.
struct WaitRig {
    SystemClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};
    RecordingTransportEvents events;
    BridgeTransport transport{bridge, clock, events};
};

template <typename Wait> ReplyWaitFigures Measure(const char* policy, Wait wait) {
    WaitRig rig;
    rig.transport.OpenDevice();
    rig.bridge.ReplyNever(1);
    const int checksBefore = rig.bridge.CallCount(BridgeOperation::CheckRXQueue);
    const auto cpuBefore = ProcessCpuTime();
    const Steady::time_point start = Steady::now();
    wait(rig);
    const double waitedMs = MsBetween(start, Steady::now());
    const double cpuMs =
        std::chrono::duration<double, std::milli>(ProcessCpuTime() - cpuBefore).count();
    rig.transport.CloseDevice();
    ReplyWaitFigures figures;
    figures.policy = policy;
    figures.waitedMs = waitedMs;
    figures.cpuMsPerSecond = cpuMs * 1000.0 / waitedMs;
    figures.queueChecks = rig.bridge.CallCount(BridgeOperation::CheckRXQueue) - checksBefore;
    return figures;
}

// The receive queue checked back to back until the limit, each check under
// the Library lock: the wait as the transport ran it before it napped.
void PollWithoutPauses(WaitRig& rig) {
    std::uint32_t written = 0;
    rig.bridge.Write(*rig.transport.Handle(), kChunkRequest.data(), kChunkRequest.size(), &written);
    std::uint32_t waiting = 0;
    const std::uint32_t start = rig.clock.TickCount();
    while (waiting < 1 && rig.clock.TickCount() - start < BridgeTransport::kReplyTimeoutMs) {
        std::uint32_t queueStatus = 0;
        std::lock_guard<LibraryLock> guard(LibraryLock::Instance());
        rig.bridge.CheckRXQueue(*rig.transport.Handle(), &waiting, &queueStatus);
    }
}

void TransportWait(WaitRig& rig) {
    std::array<std::uint8_t, 16> reply{};
    rig.transport.DeviceTransaction(rig.transport.Handle(), reply.data(), kChunkRequest.data(),
                                    reply.size(), kChunkRequest.size());
}

double MeanTransactionMs(WaitRig& rig, int runs) {
    std::array<std::uint8_t, 16> reply{};
    const Steady::time_point start = Steady::now();
    for (int i = 0; i < runs; ++i) {
        rig.transport.DeviceTransaction(rig.transport.Handle(), reply.data(), kChunkRequest.data(),
                                        reply.size(), kChunkRequest.size());
    }
    return MsBetween(start, Steady::now()) / runs;
}

} // namespace

std::vector<ReplyWaitFigures> MeasureReplyWaits() {
    return {Measure("poll without pauses (before)", PollWithoutPauses),
            Measure("transport's wait (now)", TransportWait)};
}

ReplyLatencyFigures MeasureReplyLatency() {
    WaitRig rig;
    rig.transport.OpenDevice();
    ReplyLatencyFigures figures;
    figures.immediateUs = MeanTransactionMs(rig, kLatencyRuns) * 1000.0;
    rig.bridge.SetReplyDelay(kReplyDelayMs);
    figures.delayMs = kReplyDelayMs;
    figures.delayedLateMs = MeanTransactionMs(rig, kDelayedRuns) - kReplyDelayMs;
    rig.transport.CloseDevice();
    return figures;
}

void PrintReplyWaits(const std::vector<ReplyWaitFigures>& waits,
                     const ReplyLatencyFigures& latency) {
    std::printf("\nReply wait, real clock, a reply that never comes:\n");
    std::printf("  %-30s %10s %16s %14s\n", "policy", "waited ms", "CPU ms per s", "queue checks");
    for (const ReplyWaitFigures& wait : waits) {
        std::printf("  %-30s %10.1f %16.1f %14lld\n", wait.policy, wait.waitedMs,
                    wait.cpuMsPerSecond, wait.queueChecks);
    }
    std::printf("  answered at once: %.1f us a transaction; answered after %d ms: %.2f ms late\n",
                latency.immediateUs, latency.delayMs, latency.delayedLateMs);
}
