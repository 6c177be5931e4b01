#include "cli/Commands.h"
#include "cli/TextEscape.h"
#include "cli/UnitLink.h"

#include <memory>

namespace {

// [{"index": 0, "serial": "2022", "product": "TALVO", "unit": 0}, ...]; unit
// is null for a bridge device that is no unit.
nlohmann::json DevicesJson(const std::vector<BridgeDevice>& devices) {
    nlohmann::json list = nlohmann::json::array();
    int units = 0;
    for (const BridgeDevice& device : devices) {
        list.push_back({{"index", device.index},
                        {"serial", JsonText(device.serial)},
                        {"product", JsonText(device.product)},
                        {"unit", device.isUnit ? nlohmann::json(units++) : nlohmann::json()}});
    }
    return list;
}

} // namespace

Command AddListCommand(CLI::App& app, CliSession& session) {
    CLI::App* list = app.add_subcommand(
        "list", "Lists every bridge device: index, serial string, product string; units are "
                "marked with their unit number");
    auto json = std::make_shared<bool>(false);
    list->add_flag("--json", *json, "One JSON array: index, serial, product, unit (or null)");
    return {list, [&session, json] {
                UnitLink link(session);
                std::vector<BridgeDevice> devices;
                if (const int status = link.ListDevices(&devices); status != kExitDone) {
                    return status;
                }
                int units = 0;
                for (const BridgeDevice& device : devices) {
                    units += device.isUnit ? 1 : 0;
                    if (*json) {
                        continue;
                    }
                    session.Out() << device.index << "  " << TerminalText(device.serial) << "  "
                                  << TerminalText(device.product);
                    if (device.isUnit) {
                        session.Out() << "  unit " << units - 1;
                    }
                    session.Out() << '\n';
                }
                if (*json) {
                    session.Out() << DumpJson(DevicesJson(devices)) << '\n';
                }
                if (units == 0) {
                    session.Message("no TALVO unit is attached");
                    return int{kExitNoUnit};
                }
                return int{kExitDone};
            }};
}
