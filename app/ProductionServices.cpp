#include "app/MainWindowServices.h"

#include "app/NativeWarningBox.h"
#include "device/VendorBridgeLibrary.h"

#include <iostream>

MainWindowServices MainWindowServices::Production() {
    // The window's texts stay those of a missing unit; the one line on
    // standard error tells a missing library apart.
    static VendorBridgeLibrary library(
        [](const std::string& failure) { std::cerr << failure << std::endl; });
    static SystemClock clock;
    static NativeWarningBox nativeWarning;
    static QtWindowDialogs dialogs;
    static StdProcessExit processExit;
    return {library, clock, nativeWarning, dialogs, processExit};
}
