#include "bench/Report.h"

#include "bench/Statistics.h"

#include <QFile>
#include <QGuiApplication>
#include <QSysInfo>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace {

// The limit of the program's cost over an operation's waits: 5 % of the waits
// and 10 ms, whichever is less, so that both must hold.
constexpr double kOverheadShare = 0.05;
constexpr double kOverheadMs = 10.0;

QByteArray Text(const QString& text) {
    return text.toLocal8Bit();
}

double OverheadMs(const Operation& operation, const OperationSamples& samples) {
    return Median(samples.wallMs) - static_cast<double>(operation.protocolWaitsMs);
}

double OverheadLimitMs(const Operation& operation) {
    if (operation.protocolWaitsMs == 0) {
        return kOverheadMs;
    }
    return std::min(kOverheadMs, kOverheadShare * static_cast<double>(operation.protocolWaitsMs));
}

void PrintComplaint(const Operation& operation, const OperationSamples& samples) {
    if (!samples.complaint.isEmpty()) {
        std::printf("  !! %s did not run clean: %s\n", Text(operation.name).constData(),
                    Text(samples.complaint).constData());
    }
}

// The program should ask for exactly the protocol's waits; say so where it
// asked for other ones.
void PrintWaitMismatch(const Operation& operation, const OperationSamples& samples) {
    const double asked = Worst(samples.requestedWaitsMs);
    const double least = Least(samples.requestedWaitsMs);
    const auto expected = static_cast<double>(operation.protocolWaitsMs);
    if (asked != expected || least != expected) {
        std::printf("  !! %s asked for %.0f to %.0f ms of waits; the protocol fixes %.0f ms\n",
                    Text(operation.name).constData(), least, asked, expected);
    }
}

} // namespace

void PrintMachine() {
    std::printf("TALVO EDID Utility benchmark\n");
    std::printf("machine: %s, %u hardware threads, %s; Qt %s, platform \"%s\"\n",
                Text(QSysInfo::prettyProductName()).constData(),
                std::thread::hardware_concurrency(),
                Text(QSysInfo::currentCpuArchitecture()).constData(), qVersion(),
                Text(QGuiApplication::platformName()).constData());
    PrintLoadAverage("at start");
    std::printf("simulated unit answering at once; each run ends once the window has handled\n"
                "what it queued, repaint included\n\n");
}

void PrintLoadAverage(const char* when) {
    QFile loadAverage(QStringLiteral("/proc/loadavg"));
    if (loadAverage.open(QIODevice::ReadOnly)) {
        std::printf("load average %s: %s\n", when, loadAverage.readLine().trimmed().constData());
    }
}

void PrintRealClockTable(const std::vector<Operation>& operations,
                         const std::vector<OperationSamples>& samples) {
    std::printf("Real clock: wall time per operation (ms)\n");
    std::printf("%-21s %5s %8s %8s %6s %7s %8s %7s %8s %6s %7s\n", "operation", "runs", "median",
                "worst", "waits", "ratio", "overhead", "ovh %", "own work", "CPU", "overran");
    for (std::size_t i = 0; i < operations.size(); ++i) {
        const Operation& operation = operations[i];
        const OperationSamples& sample = samples[i];
        const double median = Median(sample.wallMs);
        const double overhead = OverheadMs(operation, sample);
        std::printf("%-21s %5zu %8.2f %8.2f %6llu ", Text(operation.name).constData(),
                    sample.wallMs.size(), median, Worst(sample.wallMs),
                    static_cast<unsigned long long>(operation.protocolWaitsMs));
        if (operation.protocolWaitsMs == 0) {
            std::printf("%7s %8.2f %7s", "-", overhead, "-");
        } else {
            const auto waits = static_cast<double>(operation.protocolWaitsMs);
            std::printf("%7.4f %8.2f %6.2f%%", median / waits, overhead, 100.0 * overhead / waits);
        }
        std::printf(" %8.2f %6.2f %7.2f\n", Median(sample.ownWorkMs), Median(sample.cpuMs),
                    Median(sample.waitsOverranMs));
    }
    for (std::size_t i = 0; i < operations.size(); ++i) {
        PrintWaitMismatch(operations[i], samples[i]);
        PrintComplaint(operations[i], samples[i]);
    }
    std::printf("  waits: the sum of the protocol's fixed waits; ratio: median / waits;\n"
                "  overhead: median - waits; the medians of its parts per run:\n"
                "  own work: wall time outside the waits (the program's CPU time, plus any\n"
                "  time the machine kept it from a CPU); CPU: the process's CPU time;\n"
                "  overran: how much longer than asked the system's sleeps took\n\n");
}

void PrintFakeClockTable(const std::vector<Operation>& operations,
                         const std::vector<OperationSamples>& samples) {
    std::printf("Fake clock (waits take no time): the program's own cost per operation (ms)\n");
    std::printf("%-21s %5s %11s %11s %11s\n", "operation", "runs", "CPU median", "CPU worst",
                "wall median");
    for (std::size_t i = 0; i < operations.size(); ++i) {
        const OperationSamples& sample = samples[i];
        std::printf("%-21s %5zu %11.3f %11.3f %11.3f\n", Text(operations[i].name).constData(),
                    sample.cpuMs.size(), Median(sample.cpuMs), Worst(sample.cpuMs),
                    Median(sample.wallMs));
    }
    for (std::size_t i = 0; i < operations.size(); ++i) {
        PrintWaitMismatch(operations[i], samples[i]);
        PrintComplaint(operations[i], samples[i]);
    }
    std::printf("  CPU: process CPU time, all threads\n\n");
}

void PrintSoak(const SoakResult& soak) {
    std::printf("Fake clock: Read EDID then Write EDID, repeated on one window\n");
    std::printf("%8s %14s %18s\n", "rounds", "resident KiB", "status bar widgets");
    for (const SoakCheckpoint& checkpoint : soak.checkpoints) {
        const QString resident = checkpoint.residentKiB ? QString::number(*checkpoint.residentKiB)
                                                        : QStringLiteral("n/a");
        std::printf("%8d %14s %18d\n", checkpoint.rounds, Text(resident).constData(),
                    checkpoint.statusBarWidgets);
    }
    if (soak.checkpoints.size() >= 2) {
        const SoakCheckpoint& first = soak.checkpoints.front();
        const SoakCheckpoint& last = soak.checkpoints.back();
        const QString residentGrowth =
            first.residentKiB && last.residentKiB
                ? QStringLiteral("%1 KiB").arg(*last.residentKiB - *first.residentKiB)
                : QStringLiteral("n/a");
        std::printf("  growth over %d rounds: resident memory %s, status bar widgets %d\n",
                    last.rounds, Text(residentGrowth).constData(),
                    last.statusBarWidgets - first.statusBarWidgets);
    }
    if (!soak.complaint.isEmpty()) {
        std::printf("  !! the rounds did not run clean: %s\n", Text(soak.complaint).constData());
    }
    std::printf("  (round 0 is after a warm-up of ten rounds)\n\n");
}

int PrintVerdict(const std::vector<Operation>& operations,
                 const std::vector<OperationSamples>& realClock,
                 const std::vector<OperationSamples>& fakeClock) {
    std::printf(
        "Overhead: the real-clock median wall time minus the protocol's waits, i.e. all that\n"
        "the user waits for beyond them. The program's own part of it is its CPU time under\n"
        "the fake clock; the rest is the system's: sleeps that overran and time spent\n"
        "waiting for a CPU. Limit: 5 %% of the waits and 10 ms, whichever is less.\n");
    int overLimit = 0;
    for (std::size_t i = 0; i < operations.size(); ++i) {
        const double overhead = OverheadMs(operations[i], realClock[i]);
        const double limit = OverheadLimitMs(operations[i]);
        const bool over = overhead > limit;
        overLimit += over ? 1 : 0;
        std::printf("  %-21s %7.2f ms (limit %5.2f)  %-6s  program's own CPU %5.2f ms, sleeps "
                    "overran %5.2f ms\n",
                    Text(operations[i].name).constData(), overhead, limit, over ? "OVER" : "within",
                    Median(fakeClock[i].cpuMs), Median(realClock[i].waitsOverranMs));
    }
    return overLimit;
}
