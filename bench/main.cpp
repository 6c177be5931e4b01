#include "bench/MeasureOperation.h"
#include "bench/Operations.h"
#include "bench/ProductionLine.h"
#include "bench/ReplyWait.h"
#include "bench/Report.h"
#include "bench/Soak.h"
#include "bench/UsbPath.h"
#include "device/Clock.h"
#include "sim/FakeClock.h"
#include "sim/SimulatedUnit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kQuickDivisor = 10;
constexpr int kDefaultSoakRounds = 1000;

// A valid table as a raw .bin file, for Load from File.
bool WriteTableFile(const QString& path) {
    const UnitMemory table = SimulatedUnit::DefaultTable(0xB0);
    QFile file(path);
    const auto size = static_cast<qint64>(table.size());
    return file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char*>(table.data()), size) == size;
}

bool AnyComplaint(const std::vector<OperationSamples>& samples) {
    for (const OperationSamples& sample : samples) {
        if (!sample.complaint.isEmpty()) {
            return true;
        }
    }
    return false;
}

std::vector<OperationSamples> MeasureAll(const std::vector<Operation>& operations, Clock& clock,
                                         bool realClock) {
    std::vector<OperationSamples> samples;
    for (const Operation& operation : operations) {
        const int runs = realClock ? operation.realClockRuns : operation.fakeClockRuns;
        std::fprintf(stderr, "%s clock: %s x %d\n", realClock ? "real" : "fake",
                     operation.name.toLocal8Bit().constData(), runs);
        samples.push_back(MeasureOperation(operation, clock, runs));
    }
    return samples;
}

void KeepOnly(std::vector<Operation>& operations, const QString& prefix) {
    operations.erase(std::remove_if(operations.begin(), operations.end(),
                                    [&](const Operation& operation) {
                                        return !operation.name.startsWith(prefix,
                                                                          Qt::CaseInsensitive);
                                    }),
                     operations.end());
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Measures what the TALVO EDID Utility's window adds to the unit's fixed waits. "
        "Run it with QT_QPA_PLATFORM=offscreen where there is no display.");
    parser.addHelpOption();
    const QCommandLineOption quick(QStringLiteral("quick"),
                                   QStringLiteral("A tenth of the runs, for a quick look."));
    const QCommandLineOption soakRounds(
        QStringLiteral("soak"),
        QStringLiteral("Read-and-write rounds for the memory figures; 0 leaves them out."),
        QStringLiteral("rounds"), QString::number(kDefaultSoakRounds));
    const QCommandLineOption only(
        QStringLiteral("only"),
        QStringLiteral("Only the operations whose names start so, e.g. \"read\" (for a profiler)."),
        QStringLiteral("name"));
    const QCommandLineOption usbRuns(
        QStringLiteral("usb"),
        QStringLiteral("Also time a read and a write over libusb against the bridge emulated "
                       "under umockdev (run under umockdev-wrapper); 0 leaves them out."),
        QStringLiteral("runs"), QStringLiteral("0"));
    const QCommandLineOption productionRuns(
        QStringLiteral("production"),
        QStringLiteral("Runs of each production-line figure (1, 2, 4 and 8 simulated units, all "
                       "at once and one after another); 0 leaves them out."),
        QStringLiteral("runs"), QStringLiteral("1"));
    parser.addOption(quick);
    parser.addOption(productionRuns);
    parser.addOption(soakRounds);
    parser.addOption(usbRuns);
    parser.addOption(only);
    parser.process(application);

    const bool isQuick = parser.isSet(quick);
    bool roundsValid = false;
    const int rounds = parser.value(soakRounds).toInt(&roundsValid);
    if (!roundsValid || rounds < 0) {
        std::fprintf(stderr, "--soak needs a number of rounds\n");
        return 2;
    }

    QTemporaryDir directory;
    const BenchFiles files{directory.filePath(QStringLiteral("table.bin")),
                           directory.filePath(QStringLiteral("saved.bin"))};
    if (!directory.isValid() || !WriteTableFile(files.tableToLoad)) {
        std::fprintf(stderr, "cannot write the table file in a temporary folder\n");
        return 2;
    }

    std::vector<Operation> operations = BenchOperations(files, isQuick ? kQuickDivisor : 1);
    if (parser.isSet(only)) {
        KeepOnly(operations, parser.value(only));
    }
    SystemClock systemClock;
    FakeClock fakeClock;

    PrintMachine();
    const std::vector<OperationSamples> realClock = MeasureAll(operations, systemClock, true);
    PrintRealClockTable(operations, realClock);
    const std::vector<OperationSamples> fake = MeasureAll(operations, fakeClock, false);
    PrintFakeClockTable(operations, fake);
    SoakResult soak;
    if (rounds > 0) {
        std::fprintf(stderr, "fake clock: %d rounds of Read EDID and Write EDID\n", rounds);
        soak = SoakReadWrite(fakeClock, rounds);
        PrintSoak(soak);
    }
    if (!parser.isSet(only) ||
        QStringLiteral("reply wait").startsWith(parser.value(only), Qt::CaseInsensitive)) {
        std::fprintf(stderr, "real clock: reply wait\n");
        PrintReplyWaits(MeasureReplyWaits(), MeasureReplyLatency());
    }
    bool usbFailed = false;
    if (const int runs = parser.value(usbRuns).toInt(); runs > 0) {
        std::fprintf(stderr, "real clock: libusb path x %d\n", runs);
        usbFailed = !ReportUsbPath(runs);
    }
    bool productionFailed = false;
    if (const int runs = parser.value(productionRuns).toInt(); runs > 0) {
        std::fprintf(stderr, "real clock: production line x %d\n", runs);
        productionFailed = !ReportProductionLine(runs);
    }
    PrintVerdict(operations, realClock, fake);
    PrintLoadAverage("at end");

    // Figures of runs that failed measure the failure; a run that cannot be
    // trusted is the one outcome that makes the benchmark itself fail.
    return AnyComplaint(realClock) || AnyComplaint(fake) || !soak.complaint.isEmpty() ||
                   usbFailed || productionFailed
               ? 1
               : 0;
}
