#pragma once

#include "device/BridgeLibrary.h"
#include "device/UsbTrace.h"

#include <cstdint>
#include <memory>
#include <string>

// The bridge reached through the operating system's USB interface instead of
// the vendor library: the same eight operations with the vendor library's
// meanings and status codes, so that nothing above the seam changes.
class UsbBridgeLibrary : public BridgeLibrary {
public:
    static constexpr std::uint16_t kVendorId = 0x10C4;
    static constexpr std::uint16_t kProductId = 0xEA61;

    // The vendor library's status codes that these operations return.
    static constexpr BridgeStatus kInvalidHandle = 0x01;
    static constexpr BridgeStatus kReadError = 0x02;
    static constexpr BridgeStatus kWriteError = 0x04;
    static constexpr BridgeStatus kInvalidParameter = 0x06;
    static constexpr BridgeStatus kDeviceIoFailed = 0x08;
    static constexpr BridgeStatus kReadTimedOut = 0x0D;
    static constexpr BridgeStatus kWriteTimedOut = 0x0E;
    static constexpr BridgeStatus kDeviceNotFound = 0xFF;

    // How long a read waits for the rest of what it asked for, and a write
    // for the bridge to take its bytes.
    static constexpr unsigned kReadTimeoutMs = 1000;
    static constexpr unsigned kWriteTimeoutMs = 1000;

    // Empty once the USB library has started; otherwise why it did not.
    virtual std::string LoadFailure() = 0;
    // Why the last failing operation since the last device count failed, in
    // words the front ends can show ("no permission to open the bridge at
    // USB bus 1 device 7: ..."); empty when none did. It outlives later
    // successes, so that a unit skipped for a serial string it could not
    // read is still explained once the search has ended.
    virtual std::string LastProblem() const = 0;
    // Every transfer from now on is also recorded there; null stops it.
    virtual void SetTrace(UsbTrace* trace) = 0;
};

// Null on a system where the build has no USB path.
std::unique_ptr<UsbBridgeLibrary> MakeUsbBridgeLibrary();
