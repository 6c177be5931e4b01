#include "device/UsbBridgeLibrary.h"

// This system reaches the bridge through the vendor library only.
std::unique_ptr<UsbBridgeLibrary> MakeUsbBridgeLibrary() {
    return nullptr;
}
