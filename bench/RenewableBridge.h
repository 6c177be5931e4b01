#pragma once

#include "BridgeLibrary.h"
#include "Clock.h"
#include "SimulatedBridge.h"
#include "SimulatedUnit.h"

#include <memory>

// The simulated bridge behind a front that can swap it for a fresh one. The
// simulation logs every request; renewing it between runs keeps that log from
// growing with the run count, so the memory figures are the window's own.
// The unit, with its tables and mode, stays.
class RenewableBridge : public BridgeLibrary {
public:
    RenewableBridge(Clock& clock, SimulatedUnit& unit);

    // Only between runs: handles that the old bridge gave out mean nothing to
    // the new one.
    void Renew();

    BridgeStatus GetNumDevices(std::uint32_t* count) override;
    BridgeStatus GetProductString(std::uint32_t index, char* buffer,
                                  DeviceStringOption option) override;
    BridgeStatus Open(std::uint32_t index, DeviceHandle* handle) override;
    BridgeStatus Close(DeviceHandle handle) override;
    BridgeStatus Read(DeviceHandle handle, std::uint8_t* buffer, std::uint32_t bytesToRead,
                      std::uint32_t* bytesReturned) override;
    BridgeStatus Write(DeviceHandle handle, const std::uint8_t* buffer, std::uint32_t bytesToWrite,
                       std::uint32_t* bytesWritten) override;
    BridgeStatus FlushBuffers(DeviceHandle handle, std::uint8_t flushTransmit,
                              std::uint8_t flushReceive) override;
    BridgeStatus CheckRXQueue(DeviceHandle handle, std::uint32_t* bytesInQueue,
                              std::uint32_t* queueStatus) override;

private:
    Clock& clock_;
    SimulatedUnit& unit_;
    std::unique_ptr<SimulatedBridge> bridge_;
};
