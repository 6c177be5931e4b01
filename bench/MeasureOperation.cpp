#include "bench/MeasureOperation.h"

#include "bench/BenchWindow.h"
#include "bench/ProcessMeters.h"

#include <chrono>

namespace {

double Milliseconds(std::chrono::nanoseconds duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

} // namespace

OperationSamples MeasureOperation(const Operation& operation, Clock& clock, int runs) {
    OperationSamples samples;
    BenchWindow window(clock);
    for (int run = 0; run < runs; ++run) {
        operation.prepare(window, run);
        window.ForgetRuns();
        window.Waits().ResetAccount();

        const auto cpuStart = ProcessCpuTime();
        const auto wallStart = std::chrono::steady_clock::now();
        operation.run(window, run);
        const auto wall = std::chrono::steady_clock::now() - wallStart;
        const auto cpu = ProcessCpuTime() - cpuStart;

        samples.wallMs.push_back(Milliseconds(wall));
        samples.cpuMs.push_back(Milliseconds(cpu));
        const double inWaits = Milliseconds(window.Waits().TimeInWaits());
        const auto requested = static_cast<double>(window.Waits().RequestedMs());
        samples.ownWorkMs.push_back(Milliseconds(wall) - inWaits);
        samples.requestedWaitsMs.push_back(requested);
        samples.waitsOverranMs.push_back(inWaits - requested);
        if (samples.complaint.isEmpty()) {
            samples.complaint = window.FirstComplaint();
        }
        if (samples.complaint.isEmpty()) {
            samples.complaint = operation.check(window, run);
        }
    }
    return samples;
}
