#include "MainWindowServices.h"

#include "QtNativeWarning.h"
#include "VendorBridgeLibrary.h"

#ifdef _WIN32
using PlatformNativeWarning = WindowsNativeWarning;
#else
using PlatformNativeWarning = QtNativeWarning;
#endif

MainWindowServices MainWindowServices::Production() {
    static VendorBridgeLibrary library;
    static SystemClock clock;
    static PlatformNativeWarning nativeWarning;
    static QtWindowDialogs dialogs;
    static StdProcessExit processExit;
    return {library, clock, nativeWarning, dialogs, processExit};
}
