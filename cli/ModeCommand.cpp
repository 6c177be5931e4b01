#include "cli/Commands.h"
#include "cli/UnitLink.h"
#include "cli/UnitWords.h"

#include <memory>

Command AddModeCommand(CLI::App& app, CliSession& session) {
    CLI::App* mode = app.add_subcommand(
        "mode", "Prints the unit's EDID mode, or sets it: automix, fixed or custom");
    auto wanted = std::make_shared<std::string>();
    mode->add_option("MODE", *wanted, "automix, fixed or custom")
        ->check(CLI::IsMember({"automix", "fixed", "custom"}, CLI::ignore_case));
    return {mode, [&session, wanted] {
                UnitLink link(session);
                if (const int result = link.RequireUnit(); result != kExitDone) {
                    return result;
                }
                if (!wanted->empty()) {
                    return link.SetMode(*ModeNamed(*wanted));
                }
                UnitStatus unit;
                if (const int result = link.QueryStatus(&unit); result != kExitDone) {
                    return result;
                }
                session.Out() << ModeName(unit.modeCode) << '\n';
                return int{kExitDone};
            }};
}
