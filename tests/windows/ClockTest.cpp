// The Windows clock under the transport: Sleep and GetTickCount, the reply
// limit of 1000 ms in real time against the stand-in SiUSBXp.dll, and a tick
// count that wraps during the wait.

#include "Check.h"
#include "RecordingNativeWarning.h"
#include "StandinRun.h"

#include "BridgeTransport.h"
#include "FakeClock.h"
#include "SimulatedBridge.h"
#include "SimulatedUnit.h"
#include "VendorBridgeLibrary.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>

namespace {

using Milliseconds = std::chrono::milliseconds;

// Generous upper bound for waits that must end: a busy machine may run late,
// but never this late.
constexpr Milliseconds kNoLaterThan{10000};

const std::array<std::uint8_t, 4> kFirstChunkRequest = {0x11, 0x10, 0xB0, 0x00};

Milliseconds Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<Milliseconds>(std::chrono::steady_clock::now() - start);
}

void SleepAndTickCountAreTheSystemOnes() {
    SystemClock clock;
    const DWORD before = GetTickCount();
    const std::uint32_t tick = clock.TickCount();
    const DWORD after = GetTickCount();
    CHECK(static_cast<std::uint32_t>(tick - before) <= static_cast<std::uint32_t>(after - before));

    const auto start = std::chrono::steady_clock::now();
    const std::uint32_t startTick = clock.TickCount();
    clock.Sleep(250);
    const std::uint32_t slept = clock.TickCount() - startTick;
    // The tick count moves in steps of up to 16 ms on Windows.
    CHECK(slept >= 234);
    CHECK(Since(start) >= Milliseconds(234));
    CHECK(Since(start) < kNoLaterThan);
}

// Ticks from the start of the reply wait until it gave up, with the clock
// starting at that tick count.
std::uint32_t TicksWaitedFrom(std::uint32_t startTick) {
    FakeClock clock(startTick);
    SimulatedUnit unit;
    SimulatedBridge bridge(clock, unit);
    RecordingNativeWarning warning;
    BridgeTransport transport(bridge, clock, warning);
    if (!CHECK(transport.OpenDevice())) {
        return 0;
    }
    bridge.ReplyNever(1);
    std::array<std::uint8_t, 16> reply{};
    const std::uint32_t before = clock.Now();
    CHECK(transport.DeviceTransaction(transport.Handle(), reply.data(), kFirstChunkRequest.data(),
                                      16, 4) == TransactionResult::TimedOut);
    const std::uint32_t waited = clock.Now() - before;
    transport.CloseDevice();
    CHECK(warning.texts.empty());
    return waited;
}

void TickCountWrapDoesNotCutTheReplyWait() {
    // Wrapping at the start of the wait, halfway through and at its very end.
    for (std::uint32_t startTick : {0xFFFFFFFFu, 0xFFFFFE0Cu, 0xFFFFFC19u}) {
        const std::uint32_t waited = TicksWaitedFrom(startTick);
        CHECK(waited >= BridgeTransport::kReplyTimeoutMs);
        CHECK(waited <= BridgeTransport::kReplyTimeoutMs + 2);
    }
    CHECK(TicksWaitedFrom(0) == TicksWaitedFrom(0xFFFFFE0Cu));
}

void UnansweredReplyWaitsTheLimitInRealTime() {
    StandinRun run("clock", "noreply 1\n");
    VendorBridgeLibrary library;
    SystemClock clock;
    RecordingNativeWarning warning;
    BridgeTransport transport(library, clock, warning);
    CHECK(transport.OpenDevice());

    std::array<std::uint8_t, 16> reply{};
    reply.fill(0xEE);
    const auto start = std::chrono::steady_clock::now();
    const DWORD startTick = GetTickCount();
    CHECK(transport.DeviceTransaction(transport.Handle(), reply.data(), kFirstChunkRequest.data(),
                                      16, 4) == TransactionResult::TimedOut);
    CHECK(GetTickCount() - startTick >= BridgeTransport::kReplyTimeoutMs);
    CHECK(Since(start) >= Milliseconds(BridgeTransport::kReplyTimeoutMs - 16));
    CHECK(Since(start) < kNoLaterThan);
    CHECK(std::all_of(reply.begin(), reply.end(), [](std::uint8_t b) { return b == 0xEE; }));
    CHECK(warning.texts.empty());

    // The lost reply was only the first: the same request is answered with
    // the table's first bytes.
    CHECK(transport.DeviceTransaction(transport.Handle(), reply.data(), kFirstChunkRequest.data(),
                                      16, 4) == TransactionResult::Ok);
    CHECK(reply[0] == 0x00 && reply[1] == 0xFF);
    transport.CloseDevice();
    CHECK(SameLines(run.NewLogLines(), {"open", "11 10 B0 00", "11 10 B0 00", "close"}));
}

} // namespace

int main() {
    SleepAndTickCountAreTheSystemOnes();
    TickCountWrapDoesNotCutTheReplyWait();
    UnansweredReplyWaitsTheLimitInRealTime();
    return check::Summary();
}
