#include "bench/ProductionLine.h"

#include "bench/ProcessMeters.h"
#include "cli/TalvoEdid.h"
#include "device/Clock.h"
#include "sim/FaultScript.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"

#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One unit's share of the protocol's waits: the closes of the status query,
// the write, the two resets and the read-back (100 ms each), 32 chunks of
// 50 ms, and the 50 ms between the resets.
constexpr double kOneUnitWaitsMs = 5 * 100 + 32 * 50 + 50;
constexpr int kBenchSizes[] = {1, 2, 4, 8};

struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
    bool allVerified = true;
};

int RunTool(BridgeLibrary& bridge, Clock& clock, const std::vector<std::string>& words) {
    std::ostringstream out;
    std::ostringstream err;
    CliServices services{bridge, clock, out, err, false, {}};
    std::vector<const char*> argv{"talvo-edid"};
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
    }
    return RunTalvoEdid(static_cast<int>(argv.size()), argv.data(), services);
}

// `units` units, in custom mode, programmed by one program run or by one
// write run each, one after another.
Timing Measure(int units, bool parallel, const std::string& table) {
    SystemClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge(clock, unit);
    ApplyFaultScript(ParseFaultScript("mode 3\nbench " + std::to_string(units)), bridge, unit);

    Timing timing;
    const auto cpuBefore = ProcessCpuTime();
    const auto started = std::chrono::steady_clock::now();
    if (parallel) {
        timing.allVerified = RunTool(bridge, clock, {"program", table, "--serial-start", "1"}) == 0;
    } else {
        for (int k = 0; k < units; ++k) {
            timing.allVerified =
                RunTool(bridge, clock, {"write", table, "--unit", std::to_string(k), "-q"}) == 0 &&
                timing.allVerified;
        }
    }
    timing.wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    timing.cpuMs = std::chrono::duration<double, std::milli>(ProcessCpuTime() - cpuBefore).count();
    return timing;
}

} // namespace

bool ReportProductionLine(int runs) {
    QTemporaryDir directory;
    const std::string table = directory.filePath("table.bin").toStdString();
    {
        const UnitMemory memory = SimulatedUnit::DefaultTable(0xB2);
        std::FILE* file = std::fopen(table.c_str(), "wb");
        if (file == nullptr ||
            std::fwrite(memory.data(), 1, memory.size(), file) != memory.size() ||
            std::fclose(file) != 0) {
            std::fprintf(stderr, "cannot write the table file in a temporary folder\n");
            return false;
        }
    }
    std::printf("\nProduction line: one unit's protocol waits %.0f ms; best of %d run(s)\n",
                kOneUnitWaitsMs, runs);
    std::printf("%-6s %-16s %10s %8s %10s\n", "units", "programmed", "wall ms", "x one", "CPU ms");
    bool ok = true;
    for (int units : kBenchSizes) {
        for (bool parallel : {true, false}) {
            Timing best;
            for (int run = 0; run < runs; ++run) {
                const Timing timing = Measure(units, parallel, table);
                ok = ok && timing.allVerified;
                if (run == 0 || timing.wallMs < best.wallMs) {
                    best = timing;
                }
            }
            std::printf("%-6d %-16s %10.0f %8.2f %10.1f\n", units,
                        parallel ? "all at once" : "one after other", best.wallMs,
                        best.wallMs / kOneUnitWaitsMs, best.cpuMs);
        }
    }
    if (!ok) {
        std::fprintf(stderr, "a production run did not verify every unit\n");
    }
    return ok;
}
