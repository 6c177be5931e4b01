#include "app/MainWindowServices.h"

#include "app/NativeWarningBox.h"
#include "device/VendorBridgeLibrary.h"

#include <iostream>

MainWindowServices MainWindowServices::Production() {
    // The status bar tells a missing library from a missing unit; the line
    // on standard error gives the loader's reason.
    static VendorBridgeLibrary library(
        [](const std::string& failure) { std::cerr << failure << std::endl; });
    static SystemClock clock;
    static NativeWarningBox nativeWarning;
    static QtWindowDialogs dialogs;
    static StdProcessExit processExit;
    return {library, clock,       nativeWarning,
            dialogs, processExit, [] { return library.LoadFailure(); }};
}
