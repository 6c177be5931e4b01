#include "cli/TalvoEdid.h"
#include "cli/Terminal.h"
#include "device/LibraryLock.h"
#include "device/SelectedBridge.h"

#include <iostream>
#include <string>

namespace {

std::string ChooseBridge(SelectedBridge& library, const std::string& bridge,
                         const std::string& usbTrace) {
    BridgeChoice choice = BridgeChoice::Auto;
    ParseBridgeChoice(bridge, &choice);
    if (!library.Choose(choice)) {
        return "--bridge usb: this build reaches the bridge only through the vendor library";
    }
    if (!usbTrace.empty() && !library.TraceTo(usbTrace)) {
        return "cannot create the USB trace file " + usbTrace;
    }
    return {};
}

} // namespace

int main(int argc, char* argv[]) {
    // The lock exists before anything can call into the bridge library.
    LibraryLock::Instance();
    SelectedBridge library;
    SystemClock clock;
    CliServices services{
        library, clock, std::cout, std::cerr, StandardErrorIsTerminal(), [&library] {
            return library.LoadFailure();
        }};
    services.chooseBridge = [&library](const std::string& bridge, const std::string& usbTrace) {
        return ChooseBridge(library, bridge, usbTrace);
    };
    services.bridgeProblem = [&library] { return library.LastProblem(); };
    return RunTalvoEdid(argc, argv, services);
}
