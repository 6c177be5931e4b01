#include "cli/Commands.h"
#include "cli/StatusJson.h"
#include "cli/UnitLink.h"
#include "cli/UnitWords.h"

#include <memory>

Command AddStatusCommand(CLI::App& app, CliSession& session) {
    CLI::App* status = app.add_subcommand(
        "status", "Prints the unit's EDID mode and its read-error and EDID-reading counters");
    auto json = std::make_shared<bool>(false);
    status->add_flag("--json", *json, "One JSON object: mode, read_errors, edid_readings");
    return {status, [&session, json] {
                UnitLink link(session);
                UnitStatus unit;
                if (const int result = link.RequireUnit(); result != kExitDone) {
                    return result;
                }
                if (const int result = link.QueryStatus(&unit); result != kExitDone) {
                    return result;
                }
                if (*json) {
                    session.Out() << StatusJson(unit).dump() << '\n';
                } else {
                    session.Out() << "mode: " << ModeName(unit.modeCode) << '\n'
                                  << "read errors: " << int{unit.readErrors} << '\n'
                                  << "EDID readings: " << int{unit.edidReadings} << '\n';
                }
                return int{kExitDone};
            }};
}
