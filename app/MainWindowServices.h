#pragma once

#include "app/ProcessExit.h"
#include "app/WindowDialogs.h"
#include "device/BridgeLibrary.h"
#include "device/Clock.h"
#include "device/NativeWarning.h"

// Everything outside the window that it acts through. The program uses the
// production set; tests hand in fakes.
struct MainWindowServices {
    BridgeLibrary& library;
    Clock& clock;
    NativeWarning& nativeWarning;
    WindowDialogs& dialogs;
    ProcessExit& processExit;

    // The vendor library, the system clock, the toolkit's boxes and
    // std::exit; made once per process.
    static MainWindowServices Production();
};
