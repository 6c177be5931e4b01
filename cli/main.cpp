#include "cli/ExitStatus.h"
#include "cli/Interrupts.h"
#include "cli/TalvoEdid.h"
#include "cli/Terminal.h"
#include "device/LibraryLock.h"
#include "device/SelectedBridge.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
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

// What was written to standard output reaches it only when the C library's
// buffer is flushed and the stream closed; a full disk or a closed pipe shows
// only then, and must not end in a success.
int CloseStandardOutput(int status) {
    if (!std::cout.good()) {
        return status; // the tool has said so already
    }
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    const bool closed = std::fclose(stdout) == 0;
    if (flushed && closed) {
        return status;
    }
    std::cerr << "talvo-edid: cannot write standard output: "
              << (errno != 0 ? std::strerror(errno) : "input/output error") << '\n';
    return status <= kExitNegative ? int{kExitUsage} : status;
}

} // namespace

int main(int argc, char* argv[]) {
    // The lock exists before anything can call into the bridge library.
    LibraryLock::Instance();
    CatchInterrupts();
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
    services.outputIsTerminal = StandardOutputIsTerminal();
    services.in = &std::cin;
    services.interrupted = InterruptArrived;
    return CloseStandardOutput(RunTalvoEdid(argc, argv, services));
}
