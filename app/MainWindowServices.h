#pragma once

#include "app/NativeWarning.h"
#include "app/ProcessExit.h"
#include "app/WindowDialogs.h"
#include "device/BridgeLibrary.h"
#include "device/BridgeLoadFailure.h"
#include "device/Clock.h"

#include <functional>
#include <string>

// Everything outside the window that it acts through. The program uses the
// production set; tests hand in fakes.
struct MainWindowServices {
    BridgeLibrary& library;
    Clock& clock;
    NativeWarning& nativeWarning;
    WindowDialogs& dialogs;
    ProcessExit& processExit;
    // Why the bridge library could not be loaded; no failure, or not set,
    // while it is loaded.
    std::function<BridgeLoadFailure()> libraryFailure = {};
    // Which way the bridge is reached ("libusb"), told in the status bar
    // when no unit is found; tests may leave it out.
    std::function<std::string()> bridgeName = {};

    // The vendor library or libusb, the system clock, the toolkit's boxes and
    // std::exit; made once per process.
    static MainWindowServices Production();
};
