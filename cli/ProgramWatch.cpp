#include "cli/ProgramWatch.h"

#include "device/UnitLinks.h"

#include <algorithm>
#include <set>

namespace {

// Long enough to leave the bridge library to the workers, short enough that
// a unit plugged in is taken at once.
constexpr std::uint32_t kWatchPollMs = 250;

bool Interrupted(const CliSession& session) {
    const auto& interrupted = session.Services().interrupted;
    return interrupted && interrupted();
}

} // namespace

int WatchAndProgram(CliSession& session, ProductionRun& run) {
    std::set<std::string> taken; // plugged in and programmed, or at work
    std::uint32_t started = 0;
    bool saidWaiting = false;
    while (!Interrupted(session)) {
        std::vector<AttachedUnit> units;
        if (ListAttachedUnits(session.Services().library, &units) == kBridgeSuccess) {
            std::set<std::string> present;
            for (const AttachedUnit& unit : units) {
                present.insert(unit.link);
                if (taken.insert(unit.link).second) {
                    run.Start(started++, unit);
                    saidWaiting = false;
                }
            }
            for (auto link = taken.begin(); link != taken.end();) {
                const bool pulledOut = present.count(*link) == 0 && !run.Busy(*link);
                link = pulledOut ? taken.erase(link) : std::next(link);
            }
        }
        if (run.Idle() && !saidWaiting) {
            run.Announce("waiting for units");
            saidWaiting = true;
        }
        session.Services().clock.Sleep(kWatchPollMs);
    }
    return run.Finish();
}
