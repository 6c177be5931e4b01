#pragma once

#include "device/BridgeLibrary.h"
#include "device/Clock.h"

#include <functional>
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
    // Empty while the bridge library can be used; otherwise says which
    // library could not be loaded.
    std::function<std::string()> libraryProblem;
};

// Runs the talvo-edid command line (argv[0] is the program) and returns its
// exit status.
int RunTalvoEdid(int argc, const char* const* argv, const CliServices& services);
