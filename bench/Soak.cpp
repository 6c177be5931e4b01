#include "bench/Soak.h"

#include "bench/BenchWindow.h"
#include "bench/ProcessMeters.h"

#include <algorithm>

namespace {

constexpr int kWarmUpRounds = 10;
constexpr int kCheckpointsAfterWarmUp = 4;

void ReadAndWrite(BenchWindow& window) {
    window.ForgetRuns();
    window.Invoke("ReadEDID");
    window.Invoke("WriteEDID");
}

SoakCheckpoint Checkpoint(const BenchWindow& window, int rounds) {
    return {rounds, ResidentKiB(), window.StatusBarWidgets()};
}

} // namespace

SoakResult SoakReadWrite(Clock& clock, int rounds) {
    SoakResult result;
    BenchWindow window(clock);
    window.Open();
    for (int round = 0; round < kWarmUpRounds; ++round) {
        ReadAndWrite(window);
    }
    result.checkpoints.push_back(Checkpoint(window, 0));

    const int step = std::max(1, rounds / kCheckpointsAfterWarmUp);
    for (int round = 1; round <= rounds; ++round) {
        ReadAndWrite(window);
        if (result.complaint.isEmpty()) {
            result.complaint = window.FirstComplaint();
        }
        if (result.complaint.isEmpty() &&
            window.StatusMessage() != QLatin1String("EDID values written...")) {
            result.complaint =
                QStringLiteral("status bar shows \"%1\"").arg(window.StatusMessage());
        }
        if (round % step == 0 || round == rounds) {
            result.checkpoints.push_back(Checkpoint(window, round));
        }
    }
    return result;
}
