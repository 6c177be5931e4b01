#include "cli/Commands.h"
#include "cli/UnitLink.h"

Command AddListCommand(CLI::App& app, CliSession& session) {
    CLI::App* list = app.add_subcommand(
        "list", "Lists every bridge device: index, serial string, product string; units are "
                "marked with their unit number");
    return {list, [&session] {
                UnitLink link(session);
                std::vector<BridgeDevice> devices;
                if (const int status = link.ListDevices(&devices); status != kExitDone) {
                    return status;
                }
                int units = 0;
                for (const BridgeDevice& device : devices) {
                    session.Out() << device.index << "  " << device.serial << "  "
                                  << device.product;
                    if (device.isUnit) {
                        session.Out() << "  unit " << units++;
                    }
                    session.Out() << '\n';
                }
                if (units == 0) {
                    session.Message("no TALVO unit is attached");
                    return int{kExitNoUnit};
                }
                return int{kExitDone};
            }};
}
