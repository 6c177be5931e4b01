#include "app/MainWindowServices.h"

#include "app/NativeWarningBox.h"
#include "device/SelectedBridge.h"

MainWindowServices MainWindowServices::Production() {
    static SelectedBridge library;
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
