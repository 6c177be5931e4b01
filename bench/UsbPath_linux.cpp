#include "bench/UsbPath.h"

#include "device/BridgeTransport.h"
#include "device/UsbBridgeLibrary.h"
#include "sim/EmulatedBridge.h"
#include "transfer/EdidRead.h"
#include "transfer/EdidWrite.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The protocol's own waits: the close after a read; 50 ms after each of the
// 32 written chunks and the close after a write.
constexpr double kReadWaitsMs = 100;
constexpr double kWriteWaitsMs = 32 * 50 + 100;

class QuietSink : public TransferSink {
public:
    void StartProgress() override {}
    void ShowProgress(int, int) override {}
};

class QuietEvents : public TransportEvents {
public:
    void OnTransportEvent(TransportEvent, BridgeStatus) override {}
};

struct Figures {
    double readMs = 0;
    double writeMs = 0;
    bool failed = false;
};

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

Figures Measure(BridgeLibrary& library, int runs) {
    SystemClock clock;
    QuietEvents events;
    QuietSink sink;
    BridgeTransport transport(library, clock, events);
    EdidImage table{};
    const UnitMemory source = SimulatedUnit::DefaultTable(0xB2);
    std::copy(source.begin(), source.end(), table.begin());
    Figures figures;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        figures.failed |= ReadEDIDfromDevice(transport, sink, 0xB0).outcome != ReadOutcome::Read;
        figures.readMs += MillisecondsSince(start) / runs;
    }
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        figures.failed |= !WriteEDIDtoDevice(transport, sink, table, 0xB0).Succeeded();
        figures.writeMs += MillisecondsSince(start) / runs;
    }
    return figures;
}

void Line(const char* what, double protocolMs, double simulatedMs, double usbMs) {
    std::printf("%-12s %10.1f %12.1f %10.1f %12.1f\n", what, protocolMs, simulatedMs, usbMs,
                usbMs - protocolMs);
}

} // namespace

bool ReportUsbPath(int runs) {
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload == nullptr || std::strstr(preload, "umockdev-preload") == nullptr) {
        std::fprintf(stderr, "the libusb path is measured under umockdev-wrapper only\n");
        return false;
    }
    SystemClock clock;
    SimulatedUnit unit;
    SimulatedBridge simulated(clock, unit);
    const Figures simulatedFigures = Measure(simulated, runs);

    UMockdevTestbed* testbed = umockdev_testbed_new();
    Figures usbFigures;
    {
        EmulatedBridge emulated(testbed, EmulatedBridge::Options{});
        emulated.Unit().SetModeCode(SimulatedUnit::kCustom);
        const std::unique_ptr<UsbBridgeLibrary> library = MakeUsbBridgeLibrary();
        usbFigures = Measure(*library, runs);
    }
    g_object_unref(testbed);

    std::printf("\nlibusb path, emulated bridge (umockdev), mean of %d runs, ms\n", runs);
    std::printf("%-12s %10s %12s %10s %12s\n", "operation", "protocol", "simulated", "libusb",
                "libusb adds");
    Line("EDID read", kReadWaitsMs, simulatedFigures.readMs, usbFigures.readMs);
    Line("EDID write", kWriteWaitsMs, simulatedFigures.writeMs, usbFigures.writeMs);
    if (simulatedFigures.failed || usbFigures.failed) {
        std::fprintf(stderr, "a read or write failed during the measurement\n");
        return false;
    }
    return true;
}
