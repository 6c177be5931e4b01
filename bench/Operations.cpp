#include "bench/Operations.h"

#include "bench/BenchWindow.h"
#include "edid/EdidImage.h"
#include "sim/SimulatedUnit.h"

#include <QFileInfo>

#include <algorithm>

namespace {

constexpr std::uint64_t kCloseMs = 100;
constexpr std::uint64_t kChunkMs = 50;
constexpr std::uint64_t kResetGapMs = 50;
constexpr std::uint64_t kWriteChunks = 32;
constexpr std::uint64_t kModeCommands = 3;

void OpenIfClosed(BenchWindow& window, int) {
    if (!window.IsOpen()) {
        window.Open();
    }
}

std::function<void(BenchWindow&, int)> InvokeSlot(const char* slot) {
    return [slot](BenchWindow& window, int) { window.Invoke(slot); };
}

std::function<QString(BenchWindow&, int)> ExpectStatus(const QString& expected) {
    return [expected](BenchWindow& window, int) {
        const QString shown = window.StatusMessage();
        return shown == expected ? QString() : QStringLiteral("status bar shows \"%1\"").arg(shown);
    };
}

QString ExpectTableInView(BenchWindow& window, int) {
    return window.ViewText().isEmpty() ? QStringLiteral("no table in the view") : QString();
}

QString ExpectUnitMode(BenchWindow& window, int run) {
    const std::uint8_t expected = run % 2 == 0 ? SimulatedUnit::kAutomix : SimulatedUnit::kCustom;
    return window.Unit().ModeCode() == expected
               ? QString()
               : QStringLiteral("unit in mode %1").arg(window.Unit().ModeCode());
}

} // namespace

std::vector<Operation> BenchOperations(const BenchFiles& files, int divisor) {
    std::vector<Operation> operations = {
        // The probe open and close, the status query and the first read each
        // close the unit once.
        {QStringLiteral("Start-up"), 3 * kCloseMs, 20, 100,
         [](BenchWindow& window, int) { window.Close(); },
         [](BenchWindow& window, int) { window.Open(); }, ExpectTableInView},
        {QStringLiteral("Read EDID"), kCloseMs, 50, 300, OpenIfClosed, InvokeSlot("ReadEDID"),
         ExpectStatus(QStringLiteral("EDID values read."))},
        // The write's own close, then each reset command's close and the gap
        // between them.
        {QStringLiteral("Write EDID (CUSTOM)"),
         kWriteChunks * kChunkMs + kCloseMs + 2 * kCloseMs + kResetGapMs, 10, 300, OpenIfClosed,
         InvokeSlot("WriteEDID"), ExpectStatus(QStringLiteral("EDID values written..."))},
        // Alternating AUTOMIX and CUSTOM, so that every click changes the
        // mode; each sends one command to each of three control addresses.
        {QStringLiteral("Mode click"), kModeCommands * kCloseMs, 20, 300, OpenIfClosed,
         [](BenchWindow& window, int run) {
             window.ClickRadio(run % 2 == 0 ? "automixEDID" : "customEDID");
         },
         ExpectUnitMode},
        {QStringLiteral("Verify Checksum"), 0, 200, 300, OpenIfClosed,
         InvokeSlot("CalculateChkSum"), ExpectTableInView},
        {QStringLiteral("Load from File"), 0, 200, 300,
         [files](BenchWindow& window, int run) {
             OpenIfClosed(window, run);
             window.Dialogs().fileName = files.tableToLoad;
         },
         InvokeSlot("LoadEDIDfromFile"), ExpectStatus(QStringLiteral("File loaded"))},
        {QStringLiteral("Save to File"), 0, 200, 300,
         [files](BenchWindow& window, int run) {
             OpenIfClosed(window, run);
             window.Dialogs().fileName = files.saveTarget;
         },
         InvokeSlot("SaveEDIDtoFile"),
         [files](BenchWindow& window, int run) {
             const QString status = ExpectStatus(QStringLiteral("File saved"))(window, run);
             if (!status.isEmpty()) {
                 return status;
             }
             return QFileInfo(files.saveTarget).size() == static_cast<qint64>(kEdidSize)
                        ? QString()
                        : QStringLiteral("the saved file does not hold a whole table");
         }},
    };
    for (Operation& operation : operations) {
        operation.realClockRuns = std::max(1, operation.realClockRuns / divisor);
        operation.fakeClockRuns = std::max(1, operation.fakeClockRuns / divisor);
    }
    return operations;
}
