#pragma once

#include "device/BridgeLibrary.h"
#include "device/BridgeLoadFailure.h"
#include "device/Clock.h"
#include "device/UsbProblem.h"

#include <functional>
#include <istream>
#include <ostream>
#include <string>

// Everything outside the tool that it talks to, so that tests can run it in
// process against a simulated unit.
struct CliServices {
    BridgeLibrary& library;
    Clock& clock;
    std::ostream& out;
    std::ostream& err;
    // Whether the error stream is a terminal, on which reads and writes show
    // a progress line.
    bool errorIsTerminal = false;
    // No failure while the bridge library can be used; otherwise which
    // library could not be loaded, and why.
    std::function<BridgeLoadFailure()> libraryProblem;
    // Picks the way to the bridge ("auto", "library" or "usb") and the file
    // that records every USB transfer (empty for none), before any command
    // runs; returns why that cannot be done, or nothing. Tests that hand in
    // their own library leave it out.
    std::function<std::string(const std::string& bridge, const std::string& usbTrace)>
        chooseBridge = {};
    // Why the last bridge operation failed, where the bridge says; empty
    // otherwise.
    std::function<UsbProblem()> bridgeProblem = {};
    // Whether standard output is a terminal, where raw bytes do not belong.
    bool outputIsTerminal = false;
    // Where "-" as an input file reads from; none: "-" is refused.
    std::istream* in = nullptr;
    // Whether the user asked the tool to stop (an interrupt, a termination or
    // a hang-up signal); a run stops between chunks when it has.
    std::function<bool()> interrupted = {};
};

// Runs the talvo-edid command line (argv[0] is the program) and returns its
// exit status.
int RunTalvoEdid(int argc, const char* const* argv, const CliServices& services);
