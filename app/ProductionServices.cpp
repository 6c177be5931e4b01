#include "app/MainWindowServices.h"

#include "app/NativeWarningBox.h"
#include "device/SelectedBridge.h"

#include <iostream>

MainWindowServices MainWindowServices::Production() {
    static SelectedBridge library;
    // The status bar says that the bridge cannot be used; one line on
    // standard error, once, gives the loader's own reason.
    static const bool told = [] {
        const std::string failure = library.LoadFailure();
        if (!failure.empty()) {
            std::cerr << failure << std::endl;
        }
        return true;
    }();
    static_cast<void>(told);
    static SystemClock clock;
    static NativeWarningBox nativeWarning;
    static QtWindowDialogs dialogs;
    static StdProcessExit processExit;
    // Where the vendor library is the only way, nothing is said about it.
    std::function<std::string()> bridgeName;
    if (library.OffersUsb()) {
        bridgeName = [] { return library.Name(); };
    }
    return {library,   clock,       nativeWarning,
            dialogs,   processExit, [] { return library.LoadFailure(); },
            bridgeName};
}
