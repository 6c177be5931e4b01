#pragma once

#include "device/BridgeLibrary.h"
#include "device/BridgeLoadFailure.h"
#include "device/UsbProblem.h"
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
    static constexpr BridgeStatus kInvalidHandle = BridgeStatus(BridgeFailure::InvalidHandle);
    static constexpr BridgeStatus kReadError = BridgeStatus(BridgeFailure::ReadError);
    static constexpr BridgeStatus kWriteError = BridgeStatus(BridgeFailure::WriteError);
    static constexpr BridgeStatus kInvalidParameter = BridgeStatus(BridgeFailure::InvalidParameter);
    static constexpr BridgeStatus kDeviceIoFailed = BridgeStatus(BridgeFailure::DeviceIoFailed);
    static constexpr BridgeStatus kReadTimedOut = BridgeStatus(BridgeFailure::ReadTimedOut);
    static constexpr BridgeStatus kWriteTimedOut = BridgeStatus(BridgeFailure::WriteTimedOut);
    static constexpr BridgeStatus kDeviceNotFound = BridgeStatus(BridgeFailure::DeviceNotFound);

    // How long a read waits for the rest of what it asked for, and a write
    // for the bridge to take its bytes.
    static constexpr unsigned kReadTimeoutMs = 1000;
    static constexpr unsigned kWriteTimeoutMs = 1000;

    // No failure once the USB library has started; otherwise why it did not.
    virtual BridgeLoadFailure LoadFailure() = 0;
    // Why the last failing operation since the last device count failed
    // (no permission to open the bridge at USB bus 1 device 7, ...); none
    // when none did. It outlives later
    // successes, so that a unit skipped for a serial string it could not
    // read is still explained once the search has ended.
    virtual UsbProblem LastProblem() const = 0;
    // Every transfer from now on is also recorded there; null stops it.
    virtual void SetTrace(UsbTrace* trace) = 0;
};

// Null on a system where the build has no USB path.
std::unique_ptr<UsbBridgeLibrary> MakeUsbBridgeLibrary();
