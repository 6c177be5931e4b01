// The Windows clock under the transport: Sleep and GetTickCount, and the reply
// limit of 1000 ms in real time against the stand-in SiUSBXp.dll.

#include "tests/support/RecordingTransportEvents.h"
#include "tests/windows/Check.h"
#include "tests/windows/StandinRun.h"

#include "device/BridgeTransport.h"
#include "device/VendorBridgeLibrary.h"

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

void UnansweredReplyWaitsTheLimitInRealTime() {
    StandinRun run("clock", "noreply 1\n");
    VendorBridgeLibrary library;
    SystemClock clock;
    RecordingTransportEvents events;
    BridgeTransport transport(library, clock, events);
    CHECK(transport.OpenDevice().Opened());

    std::array<std::uint8_t, 16> reply{};
    reply.fill(0xEE);
    const auto start = std::chrono::steady_clock::now();
    const DWORD startTick = GetTickCount();
    CHECK(transport
              .DeviceTransaction(transport.Handle(), reply.data(), kFirstChunkRequest.data(), 16, 4)
              .result == TransactionResult::TimedOut);
    CHECK(GetTickCount() - startTick >= BridgeTransport::kReplyTimeoutMs);
    CHECK(Since(start) >= Milliseconds(BridgeTransport::kReplyTimeoutMs - 16));
    CHECK(Since(start) < kNoLaterThan);
    CHECK(std::all_of(reply.begin(), reply.end(), [](std::uint8_t b) { return b == 0xEE; }));
    CHECK(events.events.empty());

    // The lost reply was only the first: the same request is answered with
    // the table's first bytes.
    CHECK(transport
              .DeviceTransaction(transport.Handle(), reply.data(), kFirstChunkRequest.data(), 16, 4)
              .Ok());
    CHECK(reply[0] == 0x00 && reply[1] == 0xFF);
    transport.CloseDevice();
    CHECK(SameLines(run.NewLogLines(), {"open", "11 10 B0 00", "11 10 B0 00", "close"}));
}

} // namespace

int main() {
    SleepAndTickCountAreTheSystemOnes();
    UnansweredReplyWaitsTheLimitInRealTime();
    return check::Summary();
}
