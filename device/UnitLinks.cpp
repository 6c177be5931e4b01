#include "device/UnitLinks.h"

#include "device/BridgeTransport.h"
#include "device/LibraryLock.h"

#include <cstring>
#include <mutex>

namespace {

bool DeviceString(BridgeLibrary& library, std::uint32_t index, DeviceStringOption option,
                  char* buffer) {
    std::lock_guard<LibraryLock> guard(LibraryLock::Instance());
    if (library.GetProductString(index, buffer, option) != kBridgeSuccess) {
        return false;
    }
    // The library's string may come without a terminator.
    buffer[kDeviceStringSize - 1] = '\0';
    return true;
}

} // namespace

std::string BridgeDeviceLink(BridgeLibrary& library, std::uint32_t index) {
    char link[kDeviceStringSize] = {};
    if (DeviceString(library, index, DeviceStringOption::UsbLink, link) && link[0] != '\0') {
        return link;
    }
    return "device " + std::to_string(index);
}

BridgeStatus ListAttachedUnits(BridgeLibrary& library, std::vector<AttachedUnit>* units) {
    std::uint32_t count = 0;
    {
        std::lock_guard<LibraryLock> guard(LibraryLock::Instance());
        if (const BridgeStatus status = library.GetNumDevices(&count); status != kBridgeSuccess) {
            return status;
        }
    }
    units->clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        char serial[kDeviceStringSize] = {};
        if (DeviceString(library, i, DeviceStringOption::SerialNumber, serial) &&
            std::strcmp(serial, BridgeTransport::kUnitSerial) == 0) {
            units->push_back({i, BridgeDeviceLink(library, i)});
        }
    }
    return kBridgeSuccess;
}
