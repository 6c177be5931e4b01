#include "MainWindowServices.h"

#include "QtNativeWarning.h"
#include "VendorBridgeLibrary.h"

#include <iostream>

#ifdef _WIN32
using PlatformNativeWarning = WindowsNativeWarning;
#else
using PlatformNativeWarning = QtNativeWarning;
#endif

MainWindowServices MainWindowServices::Production() {
    // The window's texts stay those of a missing unit; the one line on
    // standard error tells a missing library apart.
    static VendorBridgeLibrary library(
        [](const std::string& failure) { std::cerr << failure << std::endl; });
    static SystemClock clock;
    static PlatformNativeWarning nativeWarning;
    static QtWindowDialogs dialogs;
    static StdProcessExit processExit;
    return {library, clock, nativeWarning, dialogs, processExit};
}
